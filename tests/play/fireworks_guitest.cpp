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

class Fireworks : public BoardFixture {};

// Sparks are the only board pixels with blue in them, or of pure red in the earlier
// release: the board is cleared to black and the final message is drawn in shades of yellow.
int sparkPixels(const QImage& board) {
    int n = 0;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            const QRgb p = board.pixel(x, y);
            n += qBlue(p) > 0 || (qRed(p) == 255 && qGreen(p) == 0);
        }
    return n;
}

// Wins the only level of a pack with a final message and hands each frame of the fireworks
// to `frame` until it returns false.
void fireworks(lumor::FakeClock& clock, const std::function<bool(Form1&, int64_t)>& frame) {
    state().FinalMessage = "Ende gut";
    state().pack.levels.assign({level({">"}, {}, "Frei")});  // won by pressing Start
    Form1 f(nullptr, clock);
    int64_t fireworksFrom = -1;
    clock.onWait = [&](int64_t now) {
        if (f.messageText() != "Ende gut") return;
        if (fireworksFrom < 0) fireworksFrom = now;
        if (!frame(f, now - fireworksFrom)) f.close();
    };
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Command1->isEnabled(); }, 10000));
    f.Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 120000));
    clock.onWait = nullptr;
}

using FireworksInEachEdition = lumortest::InEachEdition<Fireworks>;
LUMOR_IN_EACH_EDITION(FireworksInEachEdition);

// A burst is 100 sparks, or five red blocks of nine in the earlier release; its first
// frame shows each spark where it landed (a few may share a pixel).
TEST_P(FireworksInEachEdition, ABurstOfTheFinalFireworks) {
    programRandom().seed(7);
    int firstBurst = 0;
    fireworks(clock, [&](Form1& f, int64_t) {
        firstBurst = sparkPixels(f.Feld->picture());
        return firstBurst == 0;
    });
    if (earlier()) {
        EXPECT_GT(firstBurst, 9);
        EXPECT_LE(firstBurst, 45);
    } else {
        EXPECT_GT(firstBurst, 80);
        EXPECT_LE(firstBurst, 100);
    }
}

TEST_F(Fireworks, StillBurstingAfterTenMinutes) {
    programRandom().seed(7);
    int lateFrames = 0, lateFramesWithSparks = 0;
    fireworks(clock, [&](Form1& f, int64_t elapsed) {
        if (elapsed >= 9 * 60'000) {
            ++lateFrames;
            lateFramesWithSparks += sparkPixels(f.Feld->picture()) > 0;
        }
        return elapsed < 10 * 60'000;
    });
    // One burst in ten frames, each visible for up to a dozen frames: in the last minute
    // of 1200 frames sparks fly in most of them.
    EXPECT_GT(lateFrames, 1000);
    EXPECT_GT(lateFramesWithSparks, lateFrames / 3);
}

}  // namespace
