// The shadow control on a plain owner window: strips placed, painted, hidden and faded with it.
#include "ui/UcShadow.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace lumor;

namespace {

class ShadowTest : public ::testing::Test {
protected:
    std::function<bool()> savedTest = ucShadow::supportTest();
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    ucShadow* shadow = nullptr;

    void SetUp() override {
        ucShadow::supportTest() = [] { return true; };
        owner->setGeometry(100, 50, 300, 200);
    }
    void TearDown() override { ucShadow::supportTest() = savedTest; }

    QRect rightPlace(int d) const {
        const QRect f = owner->frameGeometry();
        return {f.x() + f.width(), f.y() + d, d, f.height()};
    }
    bool shown() const {
        return shadow->rightStrip()->isVisible() && shadow->bottomStrip()->isVisible();
    }
};

TEST_F(ShadowTest, StripsFollowTheOwnerWithTheirPicturesAndHideWhileItMoves) {
    shadow = new ucShadow(owner.get());
    shadow->setFadeIn(false);
    owner->show();
    ShadowStrip* right = shadow->rightStrip();
    ShadowStrip* bottom = shadow->bottomStrip();
    EXPECT_TRUE(shown());
    EXPECT_DOUBLE_EQ(owner->windowOpacity(), 1.0);  // no fade asked for
    const QRect f = owner->frameGeometry();
    EXPECT_EQ(right->geometry(), rightPlace(10));
    EXPECT_EQ(bottom->geometry(), QRect(f.x() + 10, f.bottom() + 1, f.width() - 10, 10));

    // The colour, premultiplied by each pixel's alpha.
    shadow->setColor(QColor(200, 100, 50));
    EXPECT_EQ(right->picture().pixel(9, 100), qRgba(19, 9, 4, 25));
    EXPECT_EQ(bottom->picture().pixel(100, 9), qRgba(0, 0, 0, 0));
    shadow->setSoftShadow(false);
    EXPECT_EQ(bottom->picture().pixel(100, 9), qRgba(200, 100, 50, 255));

    const qint64 built = right->picture().cacheKey();
    owner->move(30, 40);
    EXPECT_EQ(right->picture().cacheKey(), built) << "made again only for a new length";
    shadow->setDepth(7);
    EXPECT_EQ(right->geometry(), rightPlace(7));

    // Past the screen's edge only the part on the screen is a window.
    const QRect screen = owner->screen()->virtualGeometry();
    owner->move(screen.right() + 1 - 4 - owner->frameGeometry().width(), 40);
    EXPECT_EQ(right->geometry(), rightPlace(7) & screen);
    owner->move(screen.right() + 1 - owner->frameGeometry().width(), 40);
    EXPECT_FALSE(right->isVisible());
    EXPECT_TRUE(bottom->isVisible());
    owner->resize(owner->width() - 20, owner->height() + 10);  // back, and longer
    EXPECT_TRUE(shown());
    EXPECT_EQ(right->geometry(), rightPlace(7) & screen);
    EXPECT_EQ(right->picture().size(), QSize(7, owner->frameGeometry().height()));
    EXPECT_EQ(bottom->picture().size(), QSize(owner->frameGeometry().width() - 7, 7));

    owner->hide();
    EXPECT_FALSE(right->isVisible() || bottom->isVisible());
    shadow->setVisible(false);
    owner->show();
    EXPECT_FALSE(right->isVisible() || bottom->isVisible());
    shadow->setVisible(true);
    EXPECT_TRUE(shown());

    // HideMove keeps the strips away until the owner holds still; not for sizes, but nothing
    // is placed in the middle of a move.
    shadow->setHideMove(true);
    const QRect before = right->geometry();
    owner->move(150, 90);
    owner->move(170, 95);
    owner->resize(300, 150);
    EXPECT_FALSE(right->isVisible() || bottom->isVisible());
    EXPECT_EQ(right->geometry(), before);
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown(); }, 5000));
    EXPECT_EQ(right->geometry(), rightPlace(7));
}

TEST_F(ShadowTest, OwnerFadesInWhenShownAndOutOnRequest) {
    shadow = new ucShadow(owner.get());
    shadow->setFadeTime(100);
    QSignalSpy fadedIn(shadow, &ucShadow::FadedIn);
    QSignalSpy fadedOut(shadow, &ucShadow::FadedOut);
    owner->show();
    EXPECT_LT(owner->windowOpacity(), 0.5);
    EXPECT_LT(shadow->rightStrip()->opacity(), 60 / 255.0);
    ASSERT_TRUE(fadedIn.wait(5000));
    EXPECT_DOUBLE_EQ(owner->windowOpacity(), 1.0);
    EXPECT_DOUBLE_EQ(shadow->rightStrip()->opacity(), 120 / 255.0);

    shadow->FadeOut(100, true);
    EXPECT_EQ(fadedOut.count(), 1);
    EXPECT_FALSE(owner->isVisible());
    EXPECT_DOUBLE_EQ(owner->windowOpacity(), 1.0);
}

TEST_F(ShadowTest, WithoutSupportNothingHappens) {
    ucShadow::supportTest() = [] { return false; };
    const auto windows = QApplication::topLevelWidgets().size();
    shadow = new ucShadow(owner.get());
    owner->show();  // a fade-in asked for
    EXPECT_FALSE(shadow->IsLayered());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_DOUBLE_EQ(owner->windowOpacity(), 1.0);
    QSignalSpy fadedOut(shadow, &ucShadow::FadedOut);
    shadow->FadeOut(100, true);  // hides at once
    EXPECT_FALSE(owner->isVisible());
    EXPECT_EQ(fadedOut.count(), 1);

    // The real test: the offscreen platform has no screen a shadow could lie on.
    ucShadow::supportTest() = savedTest;
    EXPECT_FALSE(ucShadow(owner.get()).IsLayered());
}

}  // namespace
