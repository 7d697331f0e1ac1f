// The guide to playing in each of its forms: what each form makes of each kind of block,
// what it leaves out, the characters it must spell its own way, and the Markdown the
// guide may not use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/guide_forms.h"

namespace {

struct FormCase {
    const char* markdown;
    const char* form;
    const char* expected;
};

const std::string forty(const char* word)
{
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += std::string(i ? " " : "") + word;
    return words;
}

TEST(GuideForms, EachFormWritesEachKindOfBlock)
{
    const std::string wideAscii = "# T\n\n- " + forty("ab") + "\n";
    const std::string wideUtf8 = "# T\n\n- " + forty("\xC3\xBC\xC3\xBC") + "\n";  // "üü"
    const std::string wrapped =
        "- " + forty("ab").substr(0, 74) + "\n  " + forty("ab").substr(75) + "\n";
    std::string wrappedUtf8 = wrapped;
    for (std::size_t at; (at = wrappedUtf8.find("ab")) != std::string::npos;)
        wrappedUtf8.replace(at, 2, "\xC3\xBC\xC3\xBC");

    const FormCase cases[] = {
        // Inline markup, and the title only where a form has no heading of its own.
        {"# T\n\nA *thread* is `n`.\n", "man", ".PP\nA \\fIthread\\fP is \\fBn\\fP.\n"},
        {"# T\n\nA *thread* is `n`.\n", "page", "<p>A <em>thread</em> is <code>n</code>.</p>\n"},
        {"# T\n\nA *thread* is `n`.\n", "text", "T\n=\n\nA thread is n.\n"},
        // One sentence a roff line; a line roff would take for a request is kept as text.
        {"# T\n\nOne. Two and\nthree. 'Tis four.\n", "man",
         ".PP\nOne.\nTwo and three.\n\\&'Tis four.\n"},
        // Characters each form spells its own way.
        {"# T\n\n1° × 2 ÷ 3 − 1\n", "man", ".PP\n1\\(de \\(mu 2 \\(di 3 \\- 1\n"},
        {"# T\n\n<!-- short -->\nx < 4 & y > 2\n", "metainfo", "<p>x &lt; 4 &amp; y &gt; 2</p>\n"},
        {"# T\n\nx < 4 & y > 2\n", "page", "<p>x &lt; 4 &amp; y &gt; 2</p>\n"},
        {"# T\n\nx < 4 & y > 2 × 1\n", "text", "T\n=\n\nx < 4 & y > 2 × 1\n"},
        // Lists: an item's further lines join it.
        {"# T\n\n- a\n- b\n  c\n", "man", ".IP \\(bu 2\na\n.IP \\(bu 2\nb c\n"},
        {"# T\n\n- a\n- b\n  c\n", "page", "<ul>\n  <li>a</li>\n  <li>b c</li>\n</ul>\n"},
        {"# T\n\n1. a\n2. b\n   c\n", "man", ".IP 1. 4\na\n.IP 2. 4\nb c\n"},
        {"# T\n\n1. a\n2. b\n   c\n", "text", "T\n=\n\n1. a\n2. b c\n"},
        // Sections: headings, and the Controls section where each form wants it.
        {"# T\n\n## Play\n\nA.\n\n## Controls\n\nB.\n", "man", ".SS Play\n.PP\nA.\n"},
        {"# T\n\n## Play\n\nA.\n\n## Controls\n\nB.\n", "man-controls", ".PP\nB.\n"},
        {"# T\n\n## Play\n\nA.\n\n## Controls\n\nB.\n", "page", "<h3>Play</h3>\n<p>A.</p>\n"},
        {"# T\n\n## Play\n\nA.\n\n## Controls\n\nB.\n", "text",
         "T\n=\n\nPlay\n----\n\nA.\n\nControls\n--------\n\nB.\n"},
        // A table: tagged paragraphs in roff, a list in AppStream, columns in text.
        {"# T\n\n## Controls\n\n| Key | Effect |\n|---|---|\n| INSERT | turn 1° |\n| ESCAPE | quit "
         "|\n",
         "man-controls", ".TP\n\\fBINSERT\\fP\nturn 1\\(de\n.TP\n\\fBESCAPE\\fP\nquit\n"},
        {"# T\n\n<!-- short -->\n| Key | Effect |\n|---|---|\n| INSERT | turn 1° |\n", "metainfo",
         "<ul>\n  <li>INSERT: turn 1°</li>\n</ul>\n"},
        {"# T\n\n| Key | Effect |\n|---|---|\n| INSERT | turn 1° |\n", "page",
         "<table>\n  <tr><th>Key</th><th>Effect</th></tr>\n"
         "  <tr><td>INSERT</td><td>turn 1°</td></tr>\n</table>\n"},
        {"# T\n\n| Key | Effect |\n|---|---|\n| INSERT | turn 1° |\n", "text",
         "T\n=\n\nKey     Effect\nINSERT  turn 1°\n"},
        // Left out: pictures with their captions, notes, and blocks not marked short.
        {"# T\n\n![A](a.png)\n\n*The caption.*\n\n<!-- a note -->\nText.\n", "text",
         "T\n=\n\nText.\n"},
        {"# T\n\n![A](a.png)\n\n*The caption.*\n\nText.\n", "man", ".PP\nText.\n"},
        {"# T\n\nLong.\n\n<!-- short -->\nShort.\n", "metainfo", "<p>Short.</p>\n"},
    };
    for (const FormCase& c : cases) {
        std::vector<Block> blocks;
        std::string error, out;
        ASSERT_TRUE(readGuide(c.markdown, blocks, error)) << c.markdown << error;
        ASSERT_TRUE(renderForm(blocks, c.form, out, error)) << c.markdown << error;
        EXPECT_EQ(out, c.expected) << c.form << " of\n" << c.markdown;
    }

    // Text is filled to 78 columns, counted in characters, not bytes.
    for (const auto& [markdown, expected] :
         {std::pair{wideAscii, wrapped}, {wideUtf8, wrappedUtf8}}) {
        std::vector<Block> blocks;
        std::string error, out;
        ASSERT_TRUE(readGuide(markdown, blocks, error)) << error;
        ASSERT_TRUE(renderForm(blocks, "text", out, error)) << error;
        EXPECT_EQ(out, "T\n=\n\n" + expected);
    }
}

struct ErrorCase {
    const char* markdown;
    const char* form;  // nullptr: reading the guide must fail
    const char* error;
};

TEST(GuideForms, WhatTheGuideMayNotSayIsRefusedWithItsLine)
{
    const ErrorCase cases[] = {
        {"Text first.\n", nullptr, "1: the guide starts with its title"},
        {"# T\n\n# Again\n", nullptr, "3: the title comes first"},
        {"# T\n\n### Deep\n", nullptr, "3: a heading is"},
        {"# T\n\nA *thread.\n", nullptr, "3: a * that opens nothing"},
        {"# T\n\nSee [it](x.md).\n", nullptr, "3: a backslash, an underscore or a link"},
        {"# T\n\nA\n- b\n", nullptr, "4: a new block follows a blank line"},
        {"# T\n\n- a\n1. b\n", nullptr, "4: a list's items start alike"},
        {"# T\n\n1. a\n3. b\n", nullptr, "4: the items of a list count"},
        {"# T\n\n  indented\n", nullptr, "3: an indented line outside a list"},
        {"# T\n\n| a |\n| b |\n", nullptr, "4: a table's second row"},
        {"# T\n\n| a | b |\n|---|---|\n| c |\n", nullptr, "5: every row of a table"},
        {"# T\n\n<!-- never closed\n", nullptr, "3: a note that never ends"},
        {"# T\n\n<!-- short -->\n", nullptr, "3: a short mark with no block"},
        {"# T\n\n<!-- short -->\n## Heading\n", nullptr, "3: only a paragraph, a list or a table"},
        {"# T\n\nA \xE2\x9C\x93 mark.\n", "man", "3: '\xE2\x9C\x93' has no name in roff"},
        {"# T\n\nText.\n", "pdf", "no form named 'pdf'"},
        {"# T\n\nText.\n", "metainfo", "nothing for the form 'metainfo'"},
    };
    for (const ErrorCase& c : cases) {
        std::vector<Block> blocks;
        std::string error, out;
        const bool read = readGuide(c.markdown, blocks, error);
        if (c.form) {
            ASSERT_TRUE(read) << c.markdown << error;
            EXPECT_FALSE(renderForm(blocks, c.form, out, error)) << c.markdown;
        } else {
            EXPECT_FALSE(read) << c.markdown;
        }
        EXPECT_NE(error.find(c.error), std::string::npos)
            << "for\n"
            << c.markdown << "said: " << error << "\nnot: " << c.error;
    }
}

const char guide[] = "# T\n\n<!-- short -->\nA press   mirrors\na slice.\n\nLong text.\n\n"
                     "## Controls\n\n<!-- short -->\n| Input | Effect |\n|---|---|\n"
                     "| INSERT | turn |\n";

TEST(GuideForms, ATemplateGetsEachFormWhereItsMarkerStandsIndentedAlike)
{
    std::vector<Block> blocks;
    std::string error, out;
    ASSERT_TRUE(readGuide(guide, blocks, error)) << error;

    ASSERT_TRUE(fillTemplate(blocks,
                             "<description>\n  <!-- guide: metainfo -->\n</description>\n"
                             "the guide: page is no marker\n",
                             out, error))
        << error;
    EXPECT_EQ(out, "<description>\n  <p>A press mirrors a slice.</p>\n  <ul>\n"
                   "    <li>INSERT: turn</li>\n  </ul>\n</description>\n"
                   "the guide: page is no marker\n");

    ASSERT_TRUE(fillTemplate(
        blocks, ".SH HOW\n.\\\" guide: man\n.SH CONTROLS\n.\\\" guide: man-controls\n", out, error))
        << error;
    EXPECT_EQ(out, ".SH HOW\n.PP\nA press mirrors a slice.\n.PP\nLong text.\n"
                   ".SH CONTROLS\n.TP\n\\fBINSERT\\fP\nturn\n");

    EXPECT_FALSE(fillTemplate(blocks, "<p>By hand.</p>\n", out, error));
    EXPECT_NE(error.find("no marker"), std::string::npos) << error;
    EXPECT_FALSE(fillTemplate(blocks, "a\n<!-- guide: pdf -->\n", out, error));
    EXPECT_NE(error.find("template line 2: no form named 'pdf'"), std::string::npos) << error;
}

TEST(GuideForms, AFrontPageMustQuoteTheShortFormWordForWord)
{
    std::vector<Block> blocks;
    std::string error;
    ASSERT_TRUE(readGuide(guide, blocks, error)) << error;

    // Wrapped and padded otherwise, the same words.
    const std::string quoting = "# Game\n\nA press mirrors a\n  slice.\n\n## Controls\n\n"
                                "| Input  | Effect |\n|:-------|--------|\n| INSERT | turn   |\n";
    EXPECT_TRUE(quotesShortForm(blocks, quoting, error)) << error;

    const std::string changed[] = {
        "A press mirrors a cross.\n\n| Input | Effect |\n|---|---|\n| INSERT | turn |\n",
        "A press mirrors a slice.\n\n| Input | Effect |\n|---|---|\n| INSERT | spin |\n",
        "A press mirrors a slice.\n",
        "A press mirrors a slice. More.\n\n| Input | Effect |\n|---|---|\n| INSERT | turn |\n",
    };
    for (const std::string& page : changed) {
        EXPECT_FALSE(quotesShortForm(blocks, page, error)) << page;
        EXPECT_NE(error.find("does not quote the short block at line"), std::string::npos) << error;
    }
}

}  // namespace
