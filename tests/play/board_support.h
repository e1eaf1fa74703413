// Shared set-up of the board window tests: a bare program folder, a skin of distinct colours.
#pragma once

#include "levels/level.h"
#include "play/Bilder.h"
#include "play/Form1.h"
#include "support/boards.h"
#include "support/program.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <vector>

namespace lumor::testing {

// Square k of the test skin: its own colour, never yellow or black; 1 and 2 show coordinates.
inline QRgb skinPixel(int k, int x, int y) {
    if (k == 1 || k == 2) return qRgb(4 * x + 2, 4 * y + 2, k * 60);
    return qRgb(20 + 9 * k, 200 - 7 * k, 30 + 11 * k);
}

inline QImage testSkin(int width = 627, int height = 33) {
    QImage skin(width, height, QImage::Format_RGB32);
    skin.fill(qRgb(0, 0, 128));
    for (int k = 0; k < Bilder::Squares; ++k)
        for (int y = 0; y < Bilder::TileSize; ++y)
            for (int x = 0; x < Bilder::TileSize && 33 * k + x < width; ++x)
                if (y < height) skin.setPixel(33 * k + x, y, skinPixel(k, x, y));
    return skin;
}

class BoardFixture : public lumortest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ProgramState& st = state();
        st.MusicOn = false;
        st.Options[OptAutostart] = false;
        st.Options[OptPositionFrame] = false;
        st.Options[OptResetAfterFailure] = false;
        st.handover.set(0);
        ASSERT_TRUE(bilder().cutSkin(testSkin()));
    }
    static void setLevels(const std::vector<LevelRecord>& levels) {
        state().pack.levels.assign(levels);
    }

    // Shows the window and waits until its first level waits for the player.
    void open(Form1& f) {
        f.onMessage = [this](const QString& t) { shown << t; };
        f.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ready(f); }, 10000));
    }
    // The level is built and waits for the player.
    static bool ready(const Form1& f) {
        return !f.running() && !f.levelQueued() && f.startButton()->isEnabled() &&
               f.messageText().isEmpty();
    }
    // Level `level` (an index) waits for the player, after whatever came before.
    static bool reaches(const Form1& f, int level) {
        return QTest::qWaitFor([&] { return f.model().level() == level && ready(f); }, 20000);
    }
    static void clickStock(Form1& f, int slot) {
        QTest::mouseClick(f.stockImage(slot), Qt::LeftButton);
    }
    static void clickCell(Form1& f, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(f.boardView(), b, {}, QPoint(CellPixels * x + 16, CellPixels * y + 16));
    }
    static int count(const Form1& f, int i) { return f.stockCount(i)->text().toInt(); }
    static QImage cellPicture(const Form1& f, int x, int y) {
        return f.boardView()->picture().copy(CellPixels * x, CellPixels * y, CellPixels,
                                             CellPixels);
    }

    QStringList shown;  // every text the window's messages showed
};

}  // namespace lumor::testing
