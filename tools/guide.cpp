// guide GUIDE.md FORM: writes one form of the guide to playing to standard output.
// guide GUIDE.md fill TEMPLATE OUT: writes TEMPLATE to OUT with each "guide: FORM" marker
// line replaced by that form; the man page, the metainfo and the web page are made so.
// guide GUIDE.md quoted-in PAGE.md: fails unless PAGE.md quotes the guide's short form
// word for word, as README.md does.
// tools/guide_forms.h names the forms and the Markdown the guide is written in.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/guide_forms.h"

namespace {

bool readFile(const char* path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return bool(in);
}

int fail(const char* path, const std::string& what)
{
    std::fprintf(stderr, "guide: %s: %s\n", path, what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 2 ? argv[2] : "";
    if (argc < 3 || (command == "fill" && argc != 5) || (command == "quoted-in" && argc != 4) ||
        (command != "fill" && command != "quoted-in" && argc != 3)) {
        std::fprintf(stderr, "usage: guide GUIDE.md FORM\n"
                             "       guide GUIDE.md fill TEMPLATE OUT\n"
                             "       guide GUIDE.md quoted-in PAGE.md\n");
        return 1;
    }
    std::string markdown, error;
    std::vector<Block> blocks;
    if (!readFile(argv[1], markdown))
        return fail(argv[1], "cannot read it");
    if (!readGuide(markdown, blocks, error))
        return fail(argv[1], error);

    if (command == "quoted-in") {
        std::string page;
        if (!readFile(argv[3], page))
            return fail(argv[3], "cannot read it");
        if (!quotesShortForm(blocks, page, error))
            return fail(argv[3], error);
        return 0;
    }
    std::string out;
    if (command == "fill") {
        std::string templateText;
        if (!readFile(argv[3], templateText))
            return fail(argv[3], "cannot read it");
        if (!fillTemplate(blocks, templateText, out, error))
            return fail(argv[3], error);
        std::ofstream file(argv[4], std::ios::binary);
        file << out;
        file.close();
        if (!file)
            return fail(argv[4], "cannot write it");
        return 0;
    }
    if (!renderForm(blocks, command, out, error))
        return fail(argv[1], error);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
