// Shared set-up of the board window tests: the test program folder without sounds or
// music, a skin of distinct colours, and the options as the tests expect them.
#pragma once

#include "levels/level.h"
#include "play/Bilder.h"
#include "support/boards.h"
#include "support/program.h"

#include <QImage>
#include <QtTest/QTest>

#include <vector>

namespace lumor::testing {

// Square k of the test skin: a colour of its own (never yellow, never black), and for
// squares 1 and 2 a picture in which every pixel tells its own coordinates.
inline QRgb skinPixel(int k, int x, int y) {
    if (k == 1 || k == 2) return qRgb(4 * x + 2, 4 * y + 2, k * 60);
    return qRgb(20 + 9 * k, 200 - 7 * k, 30 + 11 * k);
}

inline QImage testSkin(int width = 627, int height = 33) {
    QImage skin(width, height, QImage::Format_RGB32);
    skin.fill(qRgb(0, 0, 128));
    for (int k = 0; k < Bilder::Squares; ++k)
        for (int y = 0; y < Bilder::TileSize; ++y)
            for (int x = 0; x < Bilder::TileSize; ++x)
                if (33 * k + x < width && y < height)
                    skin.setPixel(33 * k + x, y, skinPixel(k, x, y));
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
};

}  // namespace lumor::testing
