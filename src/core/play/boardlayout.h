// Where the board window puts its parts at a given client size, and which cell lies under a
// point of the window. The 642 x 468 layout is the window at scale 1; a larger window shows
// the board in whole multiples of its size (each picture pixel a square of screen pixels, so
// nothing is blurred), centred, with the stock row above it and the buttons below it keeping
// their own layout, centred on the window.
//
// The size the player chose is remembered in a small file of the user's data folder.
#pragma once

#include <string>
#include <string_view>

namespace lumor {

struct BoardLayout {
    static constexpr int BaseWidth = 642;
    static constexpr int BaseHeight = 468;
    static constexpr int BoardTop = 48;        // the stock row and its line above the board
    static constexpr int ShownHeight = 383;    // the board box shows one row short of 384
    static constexpr int ControlsHeight = 37;  // the line and the buttons below the board

    int scale = 1;
    int boardX = 0, boardY = BoardTop;  // the board's top-left corner
    // Added to the positions of the 642 x 468 layout: the stock row's, and the buttons'.
    int stockDx = 0, stockDy = 0;
    int buttonsDx = 0, buttonsDy = 0;

    // The layout for a client area of `width` x `height` pixels (never below scale 1).
    static BoardLayout fit(int width, int height);

    // A point of the window in board picture pixels (unrounded; left of or above the board
    // is negative).
    struct Point {
        double x, y;
    };
    Point boardPixel(double x, double y) const;
    // The cell under a point of the window, rounding down; it lies outside the 20 x 12 cells
    // when the point is not over the board.
    struct Cell {
        int x, y;
        bool operator==(const Cell&) const = default;
    };
    Cell cellAt(double x, double y) const;
};

// The board window as the player left it: the size of its normal window, and whether it was
// maximised or full screen.
struct BoardWindowSize {
    enum class Shown { Normal, Maximized, FullScreen };
    int width = BoardLayout::BaseWidth;
    int height = BoardLayout::BaseHeight;
    Shown shown = Shown::Normal;
    bool operator==(const BoardWindowSize&) const = default;

    // The file's text: "Breite 800", "Hoehe 600" and "Ansicht normal" / "maximiert" /
    // "vollbild", one a line.
    std::string text() const;
    // Read from such a text; what is missing, unknown or out of range keeps its default
    // (a size below the base layout or beyond 16384 pixels is not taken).
    static BoardWindowSize fromText(std::string_view text);

    // Read from a file (the defaults when it is missing or unreadable) and saved to one
    // atomically, never through a link; false when the save failed.
    static BoardWindowSize load(const std::string& path);
    bool save(const std::string& path) const;
};

}  // namespace lumor
