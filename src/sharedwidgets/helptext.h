#pragma once

// The instructions shown in the main window's quick-help panel and in the "Help" window. Each is a
// few paragraphs with blank gaps (runs of spaces) where a menu name belongs; the names are printed
// in bold over those gaps by HelpPage.

#include <span>

namespace tilmora::help {

// Translation context of the paragraphs and the menu names.
inline constexpr char kContext[] = "tilmora::help";

// The words a gap follows, to find it in the paragraph. Translated with the paragraph, as each
// language puts its gaps after words of its own; the disambiguation gives each gap its own entry.
struct Anchor {
    const char* words;
    const char* disambiguation;
};

// A menu name printed in bold over a gap of a paragraph.
struct MenuName {
    const char* objectName;
    const char* caption;
    int paragraph; // which paragraph holds the gap
    Anchor after;
    // The label's box in twips, used where the gap is wide enough; a longer name widens it.
    double width;
    double height;
};

// One page of instructions. Inside a paragraph, a run of three or more spaces that holds no menu
// name is filler: it ends its line, so the words after it start the next one. (Shorter runs, like
// the two spaces after a list mark, are plain spacing.)
struct PageText {
    const char* title; // what a screen reader calls the page
    std::span<const char* const> paragraphs;
    std::span<const MenuName> names;
};

// The quick-help panel of the main window.
[[nodiscard]] const PageText& quickHelp();

// The "Help" window.
[[nodiscard]] const PageText& helpContent();

} // namespace tilmora::help
