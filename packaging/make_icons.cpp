// Draws the desktop's icons with the game's own window icon painting: one PNG per size
// in the hicolor theme's layout below the given folder, and the program folder's
// "Lumor.png", which the per-user installer gives the desktop entry of a copy.
//
//   make_icons ICON_ROOT PROGRAM_FOLDER
#include "title/TitleLogo.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons ICON_ROOT PROGRAM_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = dir + QStringLiteral("/" LUMOR_APP_ID ".png");
        if (!QDir().mkpath(dir) || !lumor::titleIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    const QString own = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/Lumor.png");
    if (!lumor::titleIconImage(256).save(own, "PNG")) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(own));
        return 1;
    }
    return 0;
}
