// A soft drop shadow on the right and bottom edges of a top-level window (its owner), and
// a fade-in whenever the owner is shown. Nothing is drawn in the owner: the shadow is two
// frameless translucent windows beside it that follow it through an event filter, and the
// fade steps the owner's own window opacity.
//
// Where the window system cannot show translucent windows at chosen places (X11 without a
// compositing manager, Wayland, framebuffers, the offscreen platform), the control does
// nothing at all: no filter, no window, the owner behaves as if it were absent.
#pragma once

#include "ui/shadow.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace lumor {

// One shadow strip: a window that never takes focus or input and shows its picture at the
// control's constant opacity.
class ShadowStrip : public QWidget {
public:
    explicit ShadowStrip(QWidget* owner);

    const QImage& picture() const { return picture_; }
    void setPicture(QImage picture);
    // Where the picture's corner lies in the window: a strip reaching past the screen
    // shows only its part on the screen.
    void setPictureOffset(QPoint offset);
    qreal opacity() const { return opacity_; }
    void setOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPoint offset_;
    qreal opacity_ = 1.0;
};

class ucShadow : public QObject {
    Q_OBJECT

public:
    explicit ucShadow(QWidget* owner);
    ~ucShadow() override;

    // Whether this window system can show the shadow; asked once, when a control starts.
    // Tests replace it; an empty function means "not supported".
    static std::function<bool()>& supportTest();

    QColor Color() const { return color_; }
    void setColor(const QColor& colour);
    int Depth() const { return depth_; }
    void setDepth(int pixels);
    bool FadeIn() const { return fadeIn_; }
    void setFadeIn(bool on) { fadeIn_ = on; }
    int FadeTime() const { return fadeTime_; }
    void setFadeTime(int ms) { fadeTime_ = ms; }
    bool HideMove() const { return hideMove_; }
    void setHideMove(bool on) { hideMove_ = on; }
    bool HideSize() const { return hideSize_; }
    void setHideSize(bool on) { hideSize_ = on; }
    bool SoftShadow() const { return softShadow_; }
    void setSoftShadow(bool on);
    int Transparency() const { return transparency_; }
    void setTransparency(int opacity);  // 0..255
    bool Visible() const { return visible_; }
    void setVisible(bool on);

    // The shadow works here (the support test passed when the control started).
    bool IsLayered() const { return layered_; }
    // Window corners are drawn round by the system, so the right strip's top is rounded.
    bool IsXP() const { return xp_; }
    // The system's menu animation setting.
    bool IsSysFadeEnabled() const;
    // The system's own drop shadows; no toolkit asks for them, so taken as on.
    bool IsSysShadowEnabled() const { return true; }

    // Fades the owner out over nTimeMS (FadeTime when negative) and hides it, raising
    // FadedOut at the end; with Block, returns only then, handling events meanwhile.
    // Without shadow support the owner is hidden at once.
    void FadeOut(int nTimeMS = -1, bool Block = false);

    ShadowStrip* rightStrip() const { return right_; }
    ShadowStrip* bottomStrip() const { return bottom_; }

    // How long the owner must hold still before a move or size counts as ended.
    static constexpr int SettleMs = 150;

signals:
    void FadedIn();
    void FadedOut();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Fade { None, In, Out };
    struct Built {
        int length = -1;
        int depth = -1;
        bool onScreen = false;
    };

    void movedOrSized(bool hideWhile);
    void endOfMoveOrSize();
    void placeStrips();
    void placeStrip(ShadowStrip* strip, shadow::Strip kind, const shadow::Rect& r, Built& built);
    void showStrips();
    void hideStrips();
    void rebuildAll();
    void startFade(Fade kind, int ms);
    void fadeTick();
    void applyFadeLevel(qreal level);

    QPointer<QWidget> owner_;
    QPointer<ShadowStrip> right_;
    QPointer<ShadowStrip> bottom_;
    Built rightBuilt_, bottomBuilt_;

    QColor color_ = Qt::black;
    int depth_ = 10;
    bool fadeIn_ = true;
    int fadeTime_ = 500;
    bool hideMove_ = false;
    bool hideSize_ = false;
    bool softShadow_ = true;
    int transparency_ = 120;
    bool visible_ = true;

    bool layered_ = false;
    bool xp_ = false;
    bool hiddenWhileMoving_ = false;
    QTimer settleTimer_;
    QTimer fadeTimer_;
    shadow::FadeSteps fadeSteps_;
    Fade fade_ = Fade::None;
    qreal fadeLevel_ = 1.0;  // how much of the owner shows, applied to the strips too
};

}  // namespace lumor
