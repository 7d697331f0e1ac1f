// The guide to playing, docs/how-to-play.md, and the forms the build makes from it: the
// man page's sections, the Windows zip's text, the web page's section and the AppStream
// description.
//
// The guide is written in a small part of Markdown, one block after another, blank
// lines between them:
//   # Title                 the guide's title, first; ## Section for each section
//   a paragraph             lines joined with spaces
//   - item / 1. item        a list, one kind to a list, no blank line inside; an item's
//                           further lines are indented
//   | a | b |               a table: a header row, a |---|---| row, then its rows
//   ![alt](file.png)        a figure, with the *italic* paragraph right after it as its
//                           caption; pictures stay in the Markdown alone
//   <!-- ... -->            a note to whoever edits the guide, left out of every form;
//                           <!-- short --> marks the block after it as part of the short
//                           form, which README.md quotes word for word
// and inside a block only *emphasis* and `code`.
#pragma once

#include <string>
#include <vector>

enum class BlockKind { title, heading, paragraph, bullets, numbers, table, figure };

struct Block {
    BlockKind kind;
    std::vector<std::string> items;              // a paragraph's or heading's text, a list's items,
                                                 // a figure's picture and caption
    std::vector<std::vector<std::string>> rows;  // a table's cells, the header row first
    std::string section;  // the heading of the section it is in; empty before the first
    std::string source;   // its Markdown, lines trimmed and joined by single spaces
    bool brief = false;   // part of the short form
    int line = 0;         // where it starts in the guide, from 1
};

// Reads the guide; false, with `error` saying where and what, when it strays from the
// Markdown above.
bool readGuide(const std::string& markdown, std::vector<Block>& blocks, std::string& error);

// The forms, by the name a template's marker gives them:
//   man           roff for the man page's HOW TO PLAY: all but the Controls section
//   man-controls  roff for its CONTROLS: the Controls section's blocks
//   page          HTML for the web page's How to play: all but the Controls section
//   metainfo      AppStream description markup: the short form
//   text          plain text, 78 columns, for the Windows zip: all of it
// Pictures are left out of each. False, with `error`, for an unknown form or a
// character the form cannot carry.
bool renderForm(const std::vector<Block>& blocks, const std::string& form, std::string& out,
                std::string& error);

// Copies a template, each line that holds a marker "guide: FORM" replaced by that form,
// every line of it indented as the marker is. False, with `error`, when the template
// has no marker or names an unknown form.
bool fillTemplate(const std::vector<Block>& blocks, const std::string& templateText,
                  std::string& out, std::string& error);

// Whether a Markdown page quotes every block of the short form word for word, however
// its lines are wrapped or its table padded; false, with `error` naming the first block
// it does not, otherwise.
bool quotesShortForm(const std::vector<Block>& blocks, const std::string& markdown,
                     std::string& error);

// A block's text as a reader sees it, its markup gone: for checking a form that another
// program renders.
std::string plainText(const std::string& blockText);
