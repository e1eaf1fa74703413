// The end-of-pack fireworks keep going for as long as the window stays open.
#include "app/random.h"
#include "play/Form1.h"
#include "play/board_support.h"
#include "support/edition.h"

#include <QPushButton>

using namespace lumor;
using lumor::testing::BoardFixture;
using lumortest::level;

namespace {

using Fireworks = lumortest::InEachEdition<BoardFixture>;
LUMOR_IN_EACH_EDITION(Fireworks);

// Sparks are the only board pixels with blue in them, or of pure red in the earlier
// release: the board is cleared to black and the final message is drawn in shades of yellow.
int sparkPixels(const QImage& board) {
    int n = 0;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            n += qBlue(board.pixel(x, y)) > 0 || (board.pixel(x, y) & 0xffffff) == 0xff0000;
    return n;
}

// A burst is 100 sparks, five red blocks of nine in the earlier release (a few may overlap).
TEST_P(Fireworks, StillBurstingAfterTenMinutes) {
    programRandom().seed(7);
    state().FinalMessage = "Ende gut";
    setLevels({level({">"}, {}, "Frei")});  // won by pressing Start
    Form1 f(nullptr, clock);
    int64_t fireworksFrom = -1;
    int lateFrames = 0, lateFramesWithSparks = 0, firstBurst = 0;
    clock.onWait = [&](int64_t now) {
        if (f.messageText() != "Ende gut") return;
        if (fireworksFrom < 0) fireworksFrom = now;
        const int64_t elapsed = now - fireworksFrom;
        if (firstBurst == 0) firstBurst = sparkPixels(f.Feld->picture());
        if (elapsed >= 9 * 60'000) {
            ++lateFrames;
            lateFramesWithSparks += sparkPixels(f.Feld->picture()) > 0;
        }
        if (elapsed >= 10 * 60'000) f.close();
    };
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Command1->isEnabled(); }, 10000));
    f.Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 120000));
    // One burst in ten frames, each visible for up to a dozen frames: in the last minute
    // of 1200 frames sparks fly in most of them.
    EXPECT_GT(lateFrames, 1000);
    EXPECT_GT(lateFramesWithSparks, lateFrames / 3);
    EXPECT_GT(firstBurst, earlier() ? 9 : 80);
    EXPECT_LE(firstBurst, earlier() ? 45 : 100);
}

}  // namespace
