#include "play/Bilder.h"

#include "app/Pictures.h"
#include "app/defaultskin.h"
#include "app/paths.h"
#include "app/skinfile.h"

#include <QFile>

#include <algorithm>

namespace lumor {

namespace {

constexpr int N = Bilder::TileSize;

QImage square(const QImage& skin, int k) {
    return skin.copy(33 * k, 0, N, N).convertToFormat(QImage::Format_RGB32);
}

// The default skin as composed from the built-in pictures.
QImage builtInSkinPicture() {
    const RgbImage skin = composeDefaultSkin();
    QImage out(skin.width, skin.height, QImage::Format_RGB32);
    for (int y = 0; y < skin.height; ++y)
        for (int x = 0; x < skin.width; ++x) out.setPixel(x, y, 0xff000000u | skin.pixel(x, y));
    return out;
}

}  // namespace

Bilder::Bilder() { cutSkin(builtInSkinPicture()); }

QImage Bilder::quarterTurn(const QImage& in) {
    QImage out(N, N, QImage::Format_RGB32);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) out.setPixel(x, y, in.pixel(y, N - 1 - x));
    return out;
}

QImage Bilder::mirror(const QImage& in) {
    QImage out(N, N, QImage::Format_RGB32);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) out.setPixel(x, y, in.pixel(x, N - 1 - y));
    return out;
}

bool Bilder::LoadSkin(const QString& path) {
    return LoadSkin(QFile::encodeName(path).toStdString());
}

bool Bilder::LoadSkin(const std::string& path) {
    // The path may be written the way the windows build it ("skins\\Default.bmp").
    const auto skin = readSkin(resolvePath(path));
    return skin && cutSkin(toQImage(*skin));
}

bool Bilder::cutSkin(const QImage& skin) {
    if (skin.isNull() || skin.width() < MinSkinWidth || skin.height() < MinSkinHeight) return false;
    // Cut into fresh arrays so that nothing changes unless the whole cut succeeds.
    std::array<QImage, ElementCount> t;
    std::array<QImage, 4> s;
    // Each element names its square and whether it is turned or mirrored: the skin holds a
    // source emitting up and a target open at the top, the other directions are cut from them.
    for (const Element& e : Elements) {
        const QImage a = square(skin, e.skinSquare);
        QImage& tile = t[static_cast<size_t>(e.code)];
        switch (e.skinCut) {
            case SkinCut::AsIs:
                tile = a;
                break;
            case SkinCut::Turned:
                tile = quarterTurn(a);
                break;
            case SkinCut::Mirrored:
                tile = mirror(a);
                break;
            case SkinCut::MirroredTurned:
                tile = quarterTurn(mirror(a));
                break;
        }
    }
    for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = square(skin, SandSquare + i);
    tiles_ = std::move(t);
    sand_ = std::move(s);
    return true;
}

const QImage& Bilder::tile(int code) const {
    if (!elementOf(code)) code = Empty;
    return tiles_[static_cast<size_t>(code)];
}

const QImage& Bilder::sand(int i) const { return sand_[static_cast<size_t>(std::clamp(i, 0, 3))]; }

Bilder& bilder() {
    static Bilder b;
    return b;
}

}  // namespace lumor
