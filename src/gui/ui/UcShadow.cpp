#include "ui/UcShadow.h"

#include "app/Wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QOperatingSystemVersion>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#ifdef LUMOR_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace lumor {

namespace {

#ifdef LUMOR_HAVE_XCB
// The X screen the program runs on, as named by DISPLAY (":0.1" is screen 1).
int x11ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon + 1);
    if (colon < 0 || dot < 0) return 0;
    return display.mid(dot + 1).toInt();
}

// A compositing manager owns the selection _NET_WM_CM_S<screen> while it runs; without
// one, translucent windows show as black boxes.
bool x11CompositorRunning() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(x11ScreenNumber());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    if (!atom) return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE) return false;  // never interned: no manager ever ran
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool running = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return running;
}
#endif

// Translucent windows need a true-colour screen and a window system that composes them
// and lets a program place its windows.
bool windowSystemShowsShadows() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->depth() < 16) return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("windows") || platform == QLatin1String("cocoa")) return true;
#ifdef LUMOR_HAVE_XCB
    if (platform == QLatin1String("xcb")) return x11CompositorRunning();
#endif
    // Wayland places windows itself; offscreen, minimal and the framebuffer platforms show
    // nothing a shadow could lie on.
    return false;
}

// Systems that draw window corners round: Windows from 11 on and macOS. Elsewhere the
// corners are the window manager's business and mostly square.
bool roundWindowCorners() {
    const auto os = QOperatingSystemVersion::current();
    if (os.type() == QOperatingSystemVersion::MacOS) return true;
    return os.type() == QOperatingSystemVersion::Windows &&
           os >= QOperatingSystemVersion::Windows11;
}

QImage stripPicture(shadow::Strip kind, int length, int depth, bool soft, bool rounded,
                    const QColor& colour, qreal dpr) {
    const std::vector<uint8_t> alpha = shadow::stripAlpha(kind, length, depth, soft, rounded);
    const int w = kind == shadow::Strip::Right ? depth : length;
    const int h = kind == shadow::Strip::Right ? length : depth;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = alpha[static_cast<size_t>(y) * w + x];
            line[x] = qRgba(r * a / 255, g * a / 255, b * a / 255, a);
        }
    }
    img.setDevicePixelRatio(dpr);
    return img;
}

}  // namespace

// --- Strip ------------------------------------------------------------------------------

ShadowStrip::ShadowStrip(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void ShadowStrip::setPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void ShadowStrip::setPictureOffset(QPoint offset) {
    if (offset == offset_) return;
    offset_ = offset;
    update();
}

void ShadowStrip::setOpacity(qreal opacity) {
    if (opacity == opacity_) return;
    opacity_ = opacity;
    update();
}

void ShadowStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setOpacity(opacity_);
    p.drawImage(offset_, picture_);
}

// --- Control ----------------------------------------------------------------------------

std::function<bool()>& ucShadow::supportTest() {
    static std::function<bool()> test = windowSystemShowsShadows;
    return test;
}

ucShadow::ucShadow(QWidget* owner) : QObject(owner), owner_(owner) {
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(SettleMs);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { endOfMoveOrSize(); });
    fadeTimer_.setInterval(shadow::FadeSteps::TickMs);
    fadeTimer_.setTimerType(Qt::PreciseTimer);
    connect(&fadeTimer_, &QTimer::timeout, this, [this] { fadeTick(); });

    const auto& test = supportTest();
    layered_ = owner && test && test();
    if (!layered_) return;
    xp_ = roundWindowCorners();
    right_ = new ShadowStrip(owner);
    bottom_ = new ShadowStrip(owner);
    applyFadeLevel(1.0);
    owner->installEventFilter(this);
    if (owner->isVisible()) {
        placeStrips();
        showStrips();
    }
}

ucShadow::~ucShadow() {
    if (owner_ && fade_ != Fade::None) owner_->setWindowOpacity(1.0);
    delete right_.data();
    delete bottom_.data();
}

bool ucShadow::IsSysFadeEnabled() const {
    return QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
}

void ucShadow::setColor(const QColor& colour) {
    color_ = colour;
    rebuildAll();
}

void ucShadow::setDepth(int pixels) {
    depth_ = std::max(0, pixels);
    rebuildAll();
}

void ucShadow::setSoftShadow(bool on) {
    softShadow_ = on;
    rebuildAll();
}

void ucShadow::setTransparency(int opacity) {
    transparency_ = std::clamp(opacity, 0, 255);
    applyFadeLevel(fadeLevel_);
}

void ucShadow::setVisible(bool on) {
    visible_ = on;
    if (!layered_) return;
    if (on) {
        placeStrips();
        showStrips();
    } else {
        hideStrips();
    }
}

bool ucShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_) return false;
    switch (event->type()) {
        case QEvent::Move:
            movedOrSized(hideMove_);
            break;
        case QEvent::Resize:
            movedOrSized(hideSize_);
            break;
        case QEvent::Show:
            // A show from the window system (restoring) brings the shadow back; a show by
            // the program also fades the owner in.
            if (!event->spontaneous() && fadeIn_) startFade(Fade::In, fadeTime_);
            placeStrips();
            showStrips();
            break;
        case QEvent::Hide:
            hideStrips();
            break;
        case QEvent::WindowStateChange:
            if (owner_->isMinimized()) {
                hideStrips();
            } else {
                placeStrips();
                showStrips();
            }
            break;
        default:
            break;
    }
    return false;
}

void ucShadow::movedOrSized(bool hideWhile) {
    // Moves and sizes of a hidden owner (among them the pending ones sent just before a
    // show) only place the strips.
    if (hideWhile && owner_->isVisible()) {
        hiddenWhileMoving_ = true;
        hideStrips();
        settleTimer_.start();
        return;
    }
    // While hidden for a move, the strips stay where they are (both calls wait for the end
    // of the move, which places them from the owner's latest rectangle).
    placeStrips();
    showStrips();  // a strip back from beyond the screen's edge
}

void ucShadow::endOfMoveOrSize() {
    hiddenWhileMoving_ = false;
    placeStrips();
    showStrips();
}

void ucShadow::placeStrips() {
    if (!layered_ || !owner_ || hiddenWhileMoving_) return;
    const QRect f = owner_->frameGeometry();
    const shadow::Rect outer{f.x(), f.y(), f.width(), f.height()};
    placeStrip(right_, shadow::Strip::Right, shadow::rightStrip(outer, depth_), rightBuilt_);
    placeStrip(bottom_, shadow::Strip::Bottom, shadow::bottomStrip(outer, depth_), bottomBuilt_);
}

void ucShadow::placeStrip(ShadowStrip* strip, shadow::Strip kind, const shadow::Rect& r,
                          Built& built) {
    if (!strip) return;
    // Only the part on the screen becomes a window: window managers push windows that
    // reach past the screen edge back onto it, which would lay the strip over the owner.
    const QRect full(r.x, r.y, r.width, r.height);
    const QScreen* screen = owner_->screen();
    const QRect shown = screen ? full & screen->virtualGeometry() : full;
    built.onScreen = !shown.isEmpty();
    if (!built.onScreen) {
        strip->hide();
        return;
    }
    // The picture is made in device pixels; it is made again only when the strip's length
    // (or depth) in device pixels has changed.
    const qreal dpr = owner_->devicePixelRatioF();
    const int length = qRound(shadow::stripLength(kind, r) * dpr);
    const int depth = qRound(depth_ * dpr);
    if (length != built.length || depth != built.depth) {
        strip->setPicture(stripPicture(kind, length, depth, softShadow_,
                                       xp_ && kind == shadow::Strip::Right, color_, dpr));
        built.length = length;
        built.depth = depth;
    }
    strip->setPictureOffset(full.topLeft() - shown.topLeft());
    strip->setGeometry(shown);
}

void ucShadow::showStrips() {
    if (!layered_ || !owner_ || !visible_ || hiddenWhileMoving_) return;
    if (!owner_->isVisible() || owner_->isMinimized()) return;
    if (right_ && rightBuilt_.onScreen) right_->show();
    if (bottom_ && bottomBuilt_.onScreen) bottom_->show();
}

void ucShadow::hideStrips() {
    for (ShadowStrip* strip : {right_.data(), bottom_.data()})
        if (strip) strip->hide();
}

void ucShadow::rebuildAll() {
    rightBuilt_ = {};
    bottomBuilt_ = {};
    if (!layered_ || !owner_ || !owner_->isVisible()) return;
    placeStrips();
    // A strip that had no room before may have some now.
    showStrips();
}

// --- Fades ------------------------------------------------------------------------------

void ucShadow::startFade(Fade kind, int ms) {
    fade_ = kind;
    fadeSteps_.start(nowMs(), ms);
    applyFadeLevel(kind == Fade::In ? 0.0 : 1.0);
    fadeTimer_.start();
}

void ucShadow::fadeTick() {
    if (fadeSteps_.tick(nowMs())) {
        // The owner shows what the fading picture no longer covers: rising for a fade-in,
        // falling with it for a fade-out.
        const qreal v = fadeSteps_.value() / 255.0;
        applyFadeLevel(fade_ == Fade::In ? 1.0 - v : v);
        return;
    }
    fadeTimer_.stop();
    const Fade ended = fade_;
    fade_ = Fade::None;
    if (ended == Fade::Out && owner_) owner_->hide();
    applyFadeLevel(1.0);
    if (ended == Fade::In) emit FadedIn();
    if (ended == Fade::Out) emit FadedOut();
}

void ucShadow::applyFadeLevel(qreal level) {
    fadeLevel_ = level;
    if (!layered_) return;
    if (owner_) owner_->setWindowOpacity(level);
    for (ShadowStrip* strip : {right_.data(), bottom_.data()})
        if (strip) strip->setOpacity(transparency_ / 255.0 * level);
}

void ucShadow::FadeOut(int nTimeMS, bool Block) {
    if (!owner_) return;
    if (!layered_ || !owner_->isVisible()) {
        owner_->hide();
        emit FadedOut();
        return;
    }
    startFade(Fade::Out, nTimeMS < 0 ? fadeTime_ : nTimeMS);
    if (!Block) return;
    QEventLoop loop;
    connect(this, &ucShadow::FadedOut, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace lumor
