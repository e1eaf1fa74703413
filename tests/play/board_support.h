// Shared set-up of the board window tests: a fast clock, a temporary program folder
// without sounds or music, a skin of distinct colours and levels built in code.
#pragma once

#include "app/Wait.h"
#include "app/state.h"
#include "levels/level.h"
#include "play/Bilder.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <initializer_list>
#include <ostream>
#include <utility>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QImage& i, std::ostream* os) {
    *os << "QImage " << i.width() << "x" << i.height();
}
QT_END_NAMESPACE

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
    for (int k = 0; k < 19; ++k)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (33 * k + x < width && y < height)
                    skin.setPixel(33 * k + x, y, skinPixel(k, x, y));
    return skin;
}

// A level: cells given as (x, y, code), stock as {total, slot 1..8}.
inline LevelRecord makeLevel(const char* name,
                             std::initializer_list<std::pair<std::pair<int, int>, int>> cells,
                             std::initializer_list<int> stock = {}) {
    LevelRecord r;
    r.Name = name;
    r.Password = std::string("PW") + name;
    for (const auto& [xy, code] : cells) r.cell(xy.first, xy.second) = static_cast<int16_t>(code);
    size_t i = 0;
    for (int s : stock) r.Stock[i++] = static_cast<int16_t>(s);
    return r;
}

class BoardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setClock(&clock_);
        ProgramState& st = state();
        savedState_ = st;
        st.AppFolder = dir_.path().toStdString() + "/";
        st.MusicOn = false;
        st.Options.fill(true);
        st.Options[OptAutostart] = false;
        st.Options[OptPositionFrame] = false;
        st.Options[OptResetAfterFailure] = false;
        st.FinalMessage = DefaultFinalMessage;
        st.handover.set(0);
        ASSERT_TRUE(bilder().cutSkin(testSkin()));
    }
    void TearDown() override {
        clock_.onWait = nullptr;
        setClock(nullptr);
        state() = savedState_;  // the program-wide state and pictures as other tests expect them
        bilder() = Bilder();
    }
    static void setLevels(const std::vector<LevelRecord>& levels) {
        state().pack.levels.assign(levels);
    }

    FakeClock clock_;
    QTemporaryDir dir_;
    ProgramState savedState_;
};

}  // namespace lumor::testing
