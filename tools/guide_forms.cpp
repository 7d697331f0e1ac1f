// Reads the guide's Markdown and writes it as roff, HTML, AppStream markup and plain text.
#include "tools/guide_forms.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <set>
#include <sstream>

namespace {

constexpr char controlsSection[] = "Controls";  // the man page gives it a section of its own
constexpr std::size_t textColumns = 78;         // the plain text's line length

std::string trim(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// The length of a numbered item's "N. " at the start of a line, or 0.
std::size_t numberMarker(const std::string& line)
{
    std::size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
        ++digits;
    if (digits == 0 || line.compare(digits, 2, ". ") != 0)
        return 0;
    return digits + 2;
}

bool startsABlock(const std::string& line)
{
    return startsWith(line, "#") || startsWith(line, "|") || startsWith(line, "- ") ||
           startsWith(line, "![") || startsWith(line, "<!--") || numberMarker(line) > 0;
}

// Words joined by single spaces.
std::string squeeze(const std::string& text)
{
    std::istringstream words(text);
    std::string word, out;
    while (words >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

// A table row's cells, trimmed; false when the line is not "| a | b |".
bool splitRow(const std::string& line, std::vector<std::string>& cells)
{
    const std::string row = trim(line);
    if (row.size() < 2 || row.front() != '|' || row.back() != '|')
        return false;
    cells.clear();
    std::size_t from = 1;
    for (std::size_t bar; (bar = row.find('|', from)) != std::string::npos; from = bar + 1)
        cells.push_back(trim(row.substr(from, bar - from)));
    return true;
}

bool isRuleRow(const std::vector<std::string>& cells)
{
    for (const std::string& cell : cells)
        if (cell.empty() || cell.find_first_not_of("-:") != std::string::npos)
            return false;
    return !cells.empty();
}

// The normalised Markdown of a table, as README.md is compared with it.
std::string tableSource(const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    for (const std::vector<std::string>& row : rows) {
        out += out.empty() ? "|" : "\n|";
        for (const std::string& cell : row)
            out += " " + squeeze(cell) + " |";
    }
    return out;
}

// Inline text: plain runs, *emphasis* and `code`.
struct Span {
    enum Kind { plain, emphasis, code } kind;
    std::string text;
};

bool readSpans(const std::string& text, std::vector<Span>& spans, std::string& error)
{
    spans.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '*' || c == '`') {
            const std::size_t end = text.find(c, at + 1);
            if (end == std::string::npos || end == at + 1) {
                error = std::string("a ") + c + " that opens nothing or closes nothing";
                return false;
            }
            spans.push_back(
                {c == '*' ? Span::emphasis : Span::code, text.substr(at + 1, end - at - 1)});
            if (c == '*' && spans.back().text.find('`') != std::string::npos) {
                error = "code inside emphasis";
                return false;
            }
            at = end + 1;
            continue;
        }
        const std::size_t end = text.find_first_of("*`", at);
        const std::string run = text.substr(at, end == std::string::npos ? end : end - at);
        if (run.find('\\') != std::string::npos || run.find("](") != std::string::npos ||
            run.find('_') != std::string::npos) {
            error = "a backslash, an underscore or a link, which the guide's Markdown leaves out";
            return false;
        }
        spans.push_back({Span::plain, run});
        at = end == std::string::npos ? text.size() : end;
    }
    return true;
}

bool checkInline(const std::string& text, int line, std::string& error)
{
    std::vector<Span> spans;
    if (readSpans(text, spans, error))
        return true;
    error = std::to_string(line) + ": " + error;
    return false;
}

bool fail(std::string& error, int line, const std::string& what)
{
    error = std::to_string(line) + ": " + what;
    return false;
}

}  // namespace

bool readGuide(const std::string& markdown, std::vector<Block>& blocks, std::string& error)
{
    std::vector<std::string> lines;
    std::istringstream in(markdown);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\t') != std::string::npos)
            return fail(error, int(lines.size()) + 1, "a tab; indent with spaces");
        lines.push_back(line);
    }

    blocks.clear();
    std::string section;
    bool brief = false;
    int briefLine = 0;
    std::size_t i = 0;
    auto blank = [&](std::size_t k) { return k >= lines.size() || trim(lines[k]).empty(); };
    while (i < lines.size()) {
        const std::string& line = lines[i];
        const int number = int(i) + 1;
        if (blank(i)) {
            ++i;
            continue;
        }
        if (startsWith(line, "<!--")) {
            std::string note;
            std::size_t end = i;
            for (; end < lines.size(); ++end) {
                note += lines[end] + "\n";
                if (lines[end].find("-->") != std::string::npos)
                    break;
            }
            if (end == lines.size())
                return fail(error, number, "a note that never ends (-->)");
            const std::string last = trim(lines[end]);
            if (last.find("-->") + 3 != last.size())
                return fail(error, int(end) + 1, "text after the end of a note");
            const std::string inside = squeeze(note.substr(4, note.rfind("-->") - 4));
            if (inside == "short") {
                brief = true;
                briefLine = number;
            }
            i = end + 1;
            continue;
        }

        Block block;
        block.line = number;
        block.brief = brief;
        brief = false;
        std::size_t next = i + 1;
        if (startsWith(line, "#")) {
            const std::size_t level = line.find_first_not_of('#');
            if (level == std::string::npos || level > 2 || line[level] != ' ')
                return fail(error, number, "a heading is '# Title' or '## Section'");
            if (!blank(next))
                return fail(error, number, "a heading stands on a line of its own");
            block.items = {trim(line.substr(level))};
            if (level == 1) {
                if (!blocks.empty())
                    return fail(error, number, "the title comes first, and only once");
                block.kind = BlockKind::title;
            } else {
                block.kind = BlockKind::heading;
                section = block.items[0];
            }
            if (!checkInline(block.items[0], number, error))
                return false;
        } else if (startsWith(line, "![")) {
            const std::size_t close = line.find("](");
            if (close == std::string::npos || line.back() != ')')
                return fail(error, number, "a figure is '![what it shows](file)' alone on a line");
            block.kind = BlockKind::figure;
            block.items = {line.substr(2, close - 2),
                           line.substr(close + 2, line.size() - close - 3)};
            while (blank(next) && next < lines.size())
                ++next;
            if (next < lines.size() && startsWith(lines[next], "*")) {
                std::string caption;
                for (; !blank(next); ++next)
                    caption += " " + trim(lines[next]);
                caption = squeeze(caption);
                if (caption.size() < 2 || caption.back() != '*')
                    return fail(error, number, "a figure's caption is one paragraph in *italics*");
                block.items.push_back(caption.substr(1, caption.size() - 2));
            }
        } else if (startsWith(line, "|")) {
            block.kind = BlockKind::table;
            std::vector<std::string> cells;
            for (next = i; next < lines.size() && startsWith(lines[next], "|"); ++next) {
                if (!splitRow(lines[next], cells))
                    return fail(error, int(next) + 1, "a table row starts and ends with |");
                if (next == i + 1) {
                    if (!isRuleRow(cells))
                        return fail(error, int(next) + 1, "a table's second row is |---|---|");
                    continue;
                }
                if (!block.rows.empty() && cells.size() != block.rows[0].size())
                    return fail(error, int(next) + 1, "every row of a table has as many cells");
                for (const std::string& cell : cells)
                    if (!checkInline(cell, int(next) + 1, error))
                        return false;
                block.rows.push_back(cells);
            }
            if (block.rows.size() < 2)
                return fail(error, number, "a table has a header row, a |---| row and rows");
            if (!blank(next))
                return fail(error, int(next) + 1, "a table ends with a blank line");
        } else if (startsWith(line, "- ") || numberMarker(line) > 0) {
            const bool bullets = startsWith(line, "- ");
            block.kind = bullets ? BlockKind::bullets : BlockKind::numbers;
            for (next = i; !blank(next); ++next) {
                const std::string& item = lines[next];
                const std::size_t marker =
                    bullets ? (startsWith(item, "- ") ? 2 : 0) : numberMarker(item);
                if (marker > 0) {
                    if (!bullets && std::stoul(item) != block.items.size() + 1)
                        return fail(error, int(next) + 1, "the items of a list count 1, 2, 3");
                    block.items.push_back(trim(item.substr(marker)));
                } else if (startsWith(item, " ")) {
                    block.items.back() += " " + trim(item);
                } else {
                    return fail(error, int(next) + 1,
                                "a list's items start alike and their further lines are indented");
                }
            }
            for (std::string& item : block.items) {
                item = squeeze(item);
                if (!checkInline(item, number, error))
                    return false;
            }
        } else if (startsWith(line, " ")) {
            return fail(error, number, "an indented line outside a list");
        } else {
            block.kind = BlockKind::paragraph;
            std::string text;
            for (next = i; !blank(next); ++next) {
                if (next > i && startsABlock(lines[next]))
                    return fail(error, int(next) + 1, "a new block follows a blank line");
                text += " " + lines[next];
            }
            block.items = {squeeze(text)};
            if (!checkInline(block.items[0], number, error))
                return false;
        }

        if (block.brief && block.kind != BlockKind::paragraph && block.kind != BlockKind::table &&
            block.kind != BlockKind::bullets && block.kind != BlockKind::numbers)
            return fail(error, briefLine, "only a paragraph, a list or a table can be short");
        block.section = section;
        if (block.kind == BlockKind::table) {
            block.source = tableSource(block.rows);
        } else {
            std::string source;
            for (std::size_t k = i; k < next; ++k)
                source += " " + lines[k];
            block.source = squeeze(source);
        }
        blocks.push_back(block);
        i = next;
    }
    if (brief)
        return fail(error, briefLine, "a short mark with no block after it");
    if (blocks.empty() || blocks[0].kind != BlockKind::title)
        return fail(error, 1, "the guide starts with its title, '# Title'");
    return true;
}

namespace {

// The characters of UTF-8 text that a form spells its own way.
struct Spelling {
    const char* character;
    const char* spelt;
};

// roff, for man: ASCII, with groff's names for the rest.
constexpr Spelling roffSpellings[] = {
    {"\\", "\\e"},
    {"\xC3\x97", "\\(mu"},
    {"\xC3\xB7", "\\(di"},
    {"\xE2\x88\x92", "\\-"},
    {"\xC2\xB0", "\\(de"},
    {"\xE2\x80\x93", "\\(en"},
    {"\xE2\x80\x94", "\\(em"},
    {"\xE2\x80\x9C", "\\(lq"},
    {"\xE2\x80\x9D", "\\(rq"},
    {"\xC2\xBD", "\\(12"},
    {"\xC2\xBC", "\\(14"},
    {"\xC2\xBE", "\\(34"},
};
constexpr Spelling markupSpellings[] = {{"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}};

std::size_t characterLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Spells `text` for a form; `asciiOnly` forms reject a character they have no name for.
bool spell(const std::string& text, const Spelling* spellings, std::size_t count, bool asciiOnly,
           std::string& out, std::string& error)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(static_cast<unsigned char>(text[at]));
        const std::string character = text.substr(at, length);
        at += length;
        bool spelt = false;
        for (std::size_t k = 0; k < count && !spelt; ++k)
            if (character == spellings[k].character)
                out += spellings[k].spelt, spelt = true;
        if (spelt)
            continue;
        if (asciiOnly && length > 1) {
            error = "'" + character + "' has no name in roff here; add it to roffSpellings";
            return false;
        }
        out += character;
    }
    return true;
}

enum class Form { man, manControls, page, metainfo, text };

bool formNamed(const std::string& name, Form& form)
{
    static const std::pair<const char*, Form> names[] = {{"man", Form::man},
                                                         {"man-controls", Form::manControls},
                                                         {"page", Form::page},
                                                         {"metainfo", Form::metainfo},
                                                         {"text", Form::text}};
    for (const auto& [n, f] : names)
        if (name == n) {
            form = f;
            return true;
        }
    return false;
}

bool inForm(const Block& block, Form form)
{
    if (block.kind == BlockKind::figure)
        return false;
    const bool controls = block.section == controlsSection;
    switch (form) {
    case Form::man:
    case Form::page:
        return !controls && block.kind != BlockKind::title;
    case Form::manControls:
        return controls && block.kind != BlockKind::heading;
    case Form::metainfo:
        return block.brief;
    case Form::text:
        return true;
    }
    return false;
}

// Inline text in a form: emphasis and code marked as the form marks them.
bool inlineText(const std::string& text, Form form, std::string& out, std::string& error)
{
    std::vector<Span> spans;
    if (!readSpans(text, spans, error))
        return false;
    for (const Span& span : spans) {
        std::string spelt;
        const bool roff = form == Form::man || form == Form::manControls;
        const bool ok =
            roff ? spell(span.text, roffSpellings, std::size(roffSpellings), true, spelt, error)
            : form == Form::text ? spell(span.text, nullptr, 0, false, spelt, error)
                                 : spell(span.text, markupSpellings, std::size(markupSpellings),
                                         false, spelt, error);
        if (!ok)
            return false;
        if (span.kind == Span::plain || form == Form::text || form == Form::metainfo)
            out += spelt;
        else if (roff)
            out += (span.kind == Span::emphasis ? "\\fI" : "\\fB") + spelt + "\\fP";
        else
            out += (span.kind == Span::emphasis ? "<em>" : "<code>") + spelt +
                   (span.kind == Span::emphasis ? "</em>" : "</code>");
    }
    return true;
}

// roff text for a filled paragraph: a sentence a line, as roff likes it, and no line
// that roff would read as a request.
std::string roffLines(const std::string& text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(". ", at);
        while (end != std::string::npos && end + 2 < text.size() &&
               std::islower(static_cast<unsigned char>(text[end + 2])))
            end = text.find(". ", end + 1);
        const std::string line = text.substr(at, end == std::string::npos ? end : end + 1 - at);
        out += (line[0] == '.' || line[0] == '\'' ? "\\&" : "") + line + "\n";
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return out;
}

std::size_t columns(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// Plain text filled to the line length, the first line after `lead`, the others indented
// as far as `lead` is long.
std::string filled(const std::string& text, const std::string& lead)
{
    const std::string hang(columns(lead), ' ');
    std::string out = lead, word;
    std::size_t width = columns(lead);
    bool first = true;
    std::istringstream words(text);
    while (words >> word) {
        if (!first && width + 1 + columns(word) > textColumns) {
            out += "\n" + hang;
            width = hang.size();
            first = true;
        }
        out += (first ? "" : " ") + word;
        width += (first ? 0 : 1) + columns(word);
        first = false;
    }
    return out + "\n";
}

bool renderBlock(const Block& block, Form form, std::string& out, std::string& error)
{
    const bool roff = form == Form::man || form == Form::manControls;
    const bool markup = form == Form::page || form == Form::metainfo;
    std::vector<std::string> texts;
    for (const std::string& item : block.items) {
        texts.emplace_back();
        if (!inlineText(item, form, texts.back(), error))
            return false;
    }
    std::vector<std::vector<std::string>> cells;
    for (const std::vector<std::string>& row : block.rows) {
        cells.emplace_back();
        for (const std::string& cell : row) {
            cells.back().emplace_back();
            if (!inlineText(cell, form, cells.back().back(), error))
                return false;
        }
    }

    switch (block.kind) {
    case BlockKind::title:
        out += texts[0] + "\n" + std::string(columns(texts[0]), '=') + "\n";
        break;
    case BlockKind::heading:
        if (roff)
            out += ".SS " + texts[0] + "\n";
        else if (markup)
            out += "<h3>" + texts[0] + "</h3>\n";
        else
            out += texts[0] + "\n" + std::string(columns(texts[0]), '-') + "\n";
        break;
    case BlockKind::paragraph:
        if (roff)
            out += ".PP\n" + roffLines(texts[0]);
        else if (markup)
            out += "<p>" + texts[0] + "</p>\n";
        else
            out += filled(texts[0], "");
        break;
    case BlockKind::bullets:
    case BlockKind::numbers: {
        const bool bullets = block.kind == BlockKind::bullets;
        if (markup)
            out += bullets ? "<ul>\n" : "<ol>\n";
        for (std::size_t k = 0; k < texts.size(); ++k) {
            const std::string number = std::to_string(k + 1) + ".";
            if (roff)
                out += (bullets ? ".IP \\(bu 2\n" : ".IP " + number + " 4\n") + roffLines(texts[k]);
            else if (markup)
                out += "  <li>" + texts[k] + "</li>\n";
            else
                out += filled(texts[k], bullets ? "- " : number + " ");
        }
        if (markup)
            out += bullets ? "</ul>\n" : "</ol>\n";
        break;
    }
    case BlockKind::table: {
        std::vector<std::size_t> widths(cells[0].size(), 0);
        for (const std::vector<std::string>& row : cells)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], columns(row[c]));
        if (form == Form::page)
            out += "<table>\n";
        else if (form == Form::metainfo)
            out += "<ul>\n";
        for (std::size_t r = 0; r < cells.size(); ++r) {
            const std::vector<std::string>& row = cells[r];
            std::string rest;  // the cells after the first, as one run of text
            for (std::size_t c = 1; c < row.size(); ++c)
                rest += (c > 1 ? " " : "") + row[c];
            if (form == Form::page) {
                const char* cell = r == 0 ? "th" : "td";
                out += "  <tr>";
                for (const std::string& text : row)
                    out += std::string("<") + cell + ">" + text + "</" + cell + ">";
                out += "</tr>\n";
            } else if (r == 0) {
                if (form == Form::text) {
                    std::string lead;
                    for (std::size_t c = 0; c + 1 < row.size(); ++c)
                        lead += row[c] + std::string(widths[c] + 2 - columns(row[c]), ' ');
                    out += filled(row.back(), lead);
                }
            } else if (roff) {
                out += ".TP\n\\fB" + row[0] + "\\fP\n" + roffLines(rest);
            } else if (form == Form::metainfo) {
                out += "  <li>" + row[0] + ": " + rest + "</li>\n";
            } else {
                std::string lead;
                for (std::size_t c = 0; c + 1 < row.size(); ++c)
                    lead += row[c] + std::string(widths[c] + 2 - columns(row[c]), ' ');
                out += filled(row.back(), lead);
            }
        }
        if (form == Form::page)
            out += "</table>\n";
        else if (form == Form::metainfo)
            out += "</ul>\n";
        break;
    }
    case BlockKind::figure:
        break;
    }
    return true;
}

// Whether a template's line is a marker, `.\" guide: FORM` in roff or
// `<!-- guide: FORM -->` in HTML and XML, and for which form.
bool markerIn(const std::string& line, std::string& form)
{
    const std::string text = trim(line);
    for (const auto& [open, close] : {std::pair<std::string, std::string>{".\\\" guide: ", ""},
                                      std::pair<std::string, std::string>{"<!-- guide: ", " -->"}})
        if (text.size() > open.size() + close.size() && startsWith(text, open.c_str()) &&
            text.compare(text.size() - close.size(), close.size(), close) == 0) {
            form = text.substr(open.size(), text.size() - open.size() - close.size());
            return true;
        }
    return false;
}

}  // namespace

bool renderForm(const std::vector<Block>& blocks, const std::string& form, std::string& out,
                std::string& error)
{
    Form which;
    if (!formNamed(form, which)) {
        error = "no form named '" + form + "'";
        return false;
    }
    out.clear();
    bool any = false;
    for (const Block& block : blocks) {
        if (!inForm(block, which))
            continue;
        std::string rendered;
        if (!renderBlock(block, which, rendered, error)) {
            error = std::to_string(block.line) + ": " + error;
            return false;
        }
        if (any && which == Form::text)
            out += "\n";
        out += rendered;
        any = true;
    }
    if (!any) {
        error = "the guide has nothing for the form '" + form + "'";
        return false;
    }
    return true;
}

bool fillTemplate(const std::vector<Block>& blocks, const std::string& templateText,
                  std::string& out, std::string& error)
{
    out.clear();
    int filledMarkers = 0, number = 0;
    std::istringstream in(templateText);
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::string name;
        if (!markerIn(line, name)) {
            out += line + "\n";
            continue;
        }
        std::string form;
        if (!renderForm(blocks, name, form, error)) {
            error = "template line " + std::to_string(number) + ": " + error;
            return false;
        }
        const std::string indent = line.substr(0, line.find_first_not_of(' '));
        std::istringstream formLines(form);
        for (std::string formLine; std::getline(formLines, formLine);)
            out += (formLine.empty() ? "" : indent) + formLine + "\n";
        ++filledMarkers;
    }
    if (filledMarkers == 0) {
        error = "the template has no marker, '.\\\" guide: FORM' or '<!-- guide: FORM -->'";
        return false;
    }
    return true;
}

bool quotesShortForm(const std::vector<Block>& blocks, const std::string& markdown,
                     std::string& error)
{
    std::set<std::string> quoted;  // the page's blocks, normalised as the guide's are
    std::istringstream in(markdown + "\n");
    std::string paragraph;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        if (trim(line).empty()) {
            if (!paragraph.empty())
                quoted.insert(squeeze(paragraph));
            if (!rows.empty())
                quoted.insert(tableSource(rows));
            paragraph.clear();
            rows.clear();
        } else if (splitRow(line, cells)) {
            if (!isRuleRow(cells))
                rows.push_back(cells);
        } else {
            paragraph += " " + line;
        }
    }
    for (const Block& block : blocks)
        if (block.brief && !quoted.count(block.source)) {
            error = "it does not quote the short block at line " + std::to_string(block.line) +
                    " word for word: " + block.source.substr(0, 60) + "...";
            return false;
        }
    return true;
}

std::string plainText(const std::string& blockText)
{
    std::vector<Span> spans;
    std::string error, out;
    if (!readSpans(blockText, spans, error))
        return blockText;
    for (const Span& span : spans)
        out += span.text;
    return out;
}
