// The skin store: the tile pictures of the elements (index = cell code) and the four pictures of
// sand being eaten, cut from one skin bitmap. The board window, the editor, the
// finder and the title menu all draw with these.
#pragma once

#include <QImage>
#include <QString>

#include "play/elements.h"

#include <array>
#include <string>

namespace lumor {

class Bilder {
public:
    static constexpr int Squares = 19;        // squares a skin must hold
    static constexpr int MinSkinWidth = 626;  // 33 * 18 + 32
    static constexpr int MinSkinHeight = 32;
    static constexpr int TileSize = 32;

    // Starts with the built-in pictures, cut from the default skin they make up.
    Bilder();

    // Loads a skin bitmap (the name is matched without regard to letter case) and cuts it.
    // A file that readSkin refuses (no complete bitmap of at least 626 x 32) is refused
    // (false) and the previous pictures stay. The std::string form takes native bytes.
    bool LoadSkin(const QString& path);
    bool LoadSkin(const std::string& path);
    // The same cut from a picture already in memory.
    bool cutSkin(const QImage& skin);

    // Tile picture of a cell code 0..20; any other code (EatenSand while a beam eats
    // through it) shows the empty tile, which is what the cell looks like by then.
    const QImage& tile(int code) const;
    // Picture i (0..3, clamped) of sand being eaten.
    const QImage& sand(int i) const;

    // Pixel-by-pixel quarter turn clockwise: out(x, y) = in(y, 31 - x).
    static QImage quarterTurn(const QImage& in);
    // Top-to-bottom mirror: out(x, y) = in(x, 31 - y).
    static QImage mirror(const QImage& in);

private:
    std::array<QImage, ElementCount> tiles_;
    std::array<QImage, 4> sand_;
};

// The program's one picture holder.
Bilder& bilder();

}  // namespace lumor
