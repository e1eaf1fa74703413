// The title menu's texts and the typing of the help pages and the status line: every
// character appears dark grey, turns light grey one step later and white the step after.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lumor {

// Windows-1252 texts of the title menu.
// The eleven pages of the menu as it always was, then the rules of play, which a click on
// the help area leads to.
inline constexpr int FirstRulesPage = 11;
inline constexpr int RulesPageCount = 7;
inline constexpr int HelpPageCount = FirstRulesPage + RulesPageCount;
// The help pages; "|" ends a line.
const std::array<std::string, HelpPageCount>& helpPages();
// Captions of the six menu entries; entry 2 depends on whether the folder can be written.
std::string menuCaption(int entry, bool folderWritable);
// The status line text of each menu entry.
std::string menuHint(int entry, bool folderWritable);
inline constexpr int MenuEntryCount = 6;

// Width and line height of one typed character, in pixels.
inline constexpr int GlyphWidth = 8;
inline constexpr int GlyphLineHeight = 14;

enum class Shade { DarkGrey, LightGrey, White };

struct Glyph {
    int x = 0;
    int y = 0;
    unsigned char ch = ' ';  // Windows-1252
    Shade shade = Shade::DarkGrey;
    bool operator==(const Glyph&) const = default;
};

// What one frame asks the surface to do: clear it first (when set), then draw the glyphs
// in order (each one replaces whatever its 8-pixel cell showed).
struct TypeStep {
    bool clear = false;
    std::vector<Glyph> glyphs;
};

// Types the help pages one character every fifth frame, pausing 25 steps behind each page
// and starting over behind the last. Pages from `firstRulesPage` on are read rather than
// glanced at: they stay 200 steps, and a click finishes or turns them.
class HelpTyper {
public:
    explicit HelpTyper(std::vector<std::string> pages, int firstRulesPage = -1);
    TypeStep frame();

    // A click on the help area: from any other page to the first page of the rules; on a
    // rules page still being typed, the whole page at once; on a finished one, the next page.
    void click();

    int page() const { return page_; }
    int position() const { return position_; }

private:
    bool isRules(int page) const { return firstRules_ >= 0 && page >= firstRules_; }
    void startPage(int page);

    std::vector<std::string> pages_;
    int firstRules_ = -1;
    bool finishPage_ = false;  // the next frame shows the rest of the page at once
    int frameCounter_ = 0;
    int page_ = 0;
    int position_ = 0;  // 1-based; 0 = the page is to be started
    int x_ = 2;
    int y_ = 2;
};

// Types the status text one character per frame; a changed text starts over.
class StatusTyper {
public:
    void setText(std::string text) { text_ = std::move(text); }
    const std::string& text() const { return text_; }
    const std::string& shown() const { return shown_; }
    TypeStep frame();
    // True while characters remain to be typed or a new text waits.
    bool busy() const;

private:
    std::string text_;
    std::string shown_;
    int position_ = 0;
};

}  // namespace lumor
