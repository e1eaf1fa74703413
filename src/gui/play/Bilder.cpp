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
    std::array<QImage, 21> t;
    std::array<QImage, 4> s;
    t[0] = square(skin, 0);
    // Square 1 is a source pointing up (code 4), square 2 a target open at the top
    // (code 6). The others come from a quarter turn, a mirror and a turn of the mirror.
    auto derive = [&](int k, int asIs, int turned, int mirrored, int mirroredTurned) {
        QImage a = square(skin, k);
        t[static_cast<size_t>(asIs)] = a;
        t[static_cast<size_t>(turned)] = quarterTurn(a);
        QImage m = mirror(a);
        t[static_cast<size_t>(mirrored)] = m;
        t[static_cast<size_t>(mirroredTurned)] = quarterTurn(m);
    };
    derive(1, 4, 1, 2, 3);
    derive(2, 6, 7, 8, 5);
    for (int i = 0; i < 12; ++i) t[static_cast<size_t>(9 + i)] = square(skin, 3 + i);
    for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = square(skin, 15 + i);
    tiles_ = std::move(t);
    sand_ = std::move(s);
    return true;
}

const QImage& Bilder::tile(int code) const {
    if (code < 0 || code > 20) code = 0;
    return tiles_[static_cast<size_t>(code)];
}

const QImage& Bilder::sand(int i) const { return sand_[static_cast<size_t>(std::clamp(i, 0, 3))]; }

Bilder& bilder() {
    static Bilder b;
    return b;
}

}  // namespace lumor
