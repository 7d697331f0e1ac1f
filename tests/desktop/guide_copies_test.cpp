// The man page and the metainfo as built say what the guide to playing says: the man page
// read through man itself, the metainfo's description with its markup taken off.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/guide_forms.h"

namespace {

std::string contents(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Words joined by single spaces, with the dashes and quotes a renderer may choose
// spelt the plain way.
std::string normalised(const std::string& text)
{
    std::string plain = text;
    for (const char* dash : {"\xE2\x88\x92", "\xE2\x80\x90", "\xE2\x80\x91"})  // − ‐ ‑
        for (std::size_t at; (at = plain.find(dash)) != std::string::npos;)
            plain.replace(at, 3, "-");
    for (std::size_t at; (at = plain.find("\xE2\x80\x99")) != std::string::npos;)  // ’
        plain.replace(at, 3, "'");
    std::istringstream words(plain);
    std::string word, out;
    while (words >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::vector<Block> guideBlocks()
{
    std::vector<Block> blocks;
    std::string error;
    EXPECT_TRUE(readGuide(contents(GUIDE_PATH), blocks, error)) << error;
    return blocks;
}

// What a reader must find of a block: its text, each item, each row past the header,
// `tag` after a row's first cell.
std::vector<std::string> piecesOf(const Block& block, const char* tag = "")
{
    std::vector<std::string> pieces;
    if (block.kind == BlockKind::table) {
        for (std::size_t r = 1; r < block.rows.size(); ++r) {
            std::string row;
            for (const std::string& cell : block.rows[r])
                row += (row.empty() ? "" : " ") + plainText(cell) + (row.empty() ? tag : "");
            pieces.push_back(row);
        }
    } else if (block.kind != BlockKind::figure && block.kind != BlockKind::title) {
        for (const std::string& item : block.items)
            pieces.push_back(plainText(item));
    }
    return pieces;
}

TEST(GuideCopies, TheManPageReadsAsTheGuide)
{
    // Wide enough that man neither breaks nor hyphenates a line of the guide.
    const std::string command = std::string("LC_ALL=C.UTF-8 MANWIDTH=2000 MANROFFOPT=-rHY=0 ") +
                                "man -l '" + MAN_PAGE_PATH + "' 2>&1";
    std::FILE* man = popen(command.c_str(), "r");
    ASSERT_NE(man, nullptr);
    std::string page;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, man)) > 0;)
        page.append(chunk, got);
    ASSERT_EQ(pclose(man), 0) << page;
    page = normalised(page);

    int pieces = 0;
    for (const Block& block : guideBlocks())
        for (const std::string& piece : piecesOf(block)) {
            if (block.kind == BlockKind::heading && piece == "Controls")
                continue;  // the man page's own CONTROLS
            EXPECT_NE(page.find(normalised(piece)), std::string::npos)
                << "the man page lacks the guide's line " << block.line << ": " << piece;
            ++pieces;
        }
    EXPECT_GT(pieces, 20);
}

TEST(GuideCopies, TheMetainfoDescribesTheGameInTheGuidesShortForm)
{
    const std::string metainfo = contents(METAINFO_PATH);
    const std::size_t from = metainfo.find("<description>");
    const std::size_t to = metainfo.find("</description>");
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    std::string text;
    bool inTag = false;
    for (char c : metainfo.substr(from, to - from)) {
        if (c == '<' || c == '>')
            inTag = c == '<', text += ' ';
        else if (!inTag)
            text += c;
    }
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
            text.replace(at, std::string(entity).size(), character);
    text = normalised(text);

    int pieces = 0;
    for (const Block& block : guideBlocks())
        if (block.brief)
            for (const std::string& piece : piecesOf(block, ":")) {
                EXPECT_NE(text.find(normalised(piece)), std::string::npos)
                    << "the metainfo lacks the guide's line " << block.line << ": " << piece;
                ++pieces;
            }
    EXPECT_GT(pieces, 1);
}

}  // namespace
