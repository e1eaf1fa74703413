// The board window's flow: making it, the level from its introduction to its end, the
// beam run, the messages and the celebration, the music and closing.
#include "play/Form1.h"

#include "app/Look.h"
#include "app/Text.h"
#include "app/Wait.h"
#include "app/edition.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/state.h"
#include "play/Bilder.h"
#include "play/BoardNotes.h"
#include "play/Form1Look.h"
#include "play/beamrun.h"
#include "play/cells.h"
#include "play/particles.h"
#include "play/playmodel.h"

#include <QCloseEvent>
#include <QFutureWatcher>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace lumor {

using namespace boardwindow;

namespace {

constexpr int FinaleFrameMs = 18;
constexpr int FadeStepMs = 10;
constexpr int MessageHoldMs = 1500;
constexpr int FireworkFrameMs = 50;

// A whole random number below n, as Int(Rnd * n).
int randomBelow(int n) { return static_cast<int>(programRandom().next() * n); }

}  // namespace

// The particle pool on the board picture: single pixels read and written one by one,
// with the touched area collected for the repaint.
class BoardParticles final : public PixelSurface {
public:
    explicit BoardParticles(QImage& image) : pool(programRandom()), image_(image) {}

    int32_t pixel(int x, int y) const override {
        if (!inBoard(x, y)) return -1;
        const QRgb p = image_.pixel(x, y);
        return rgbColour(qRed(p), qGreen(p), qBlue(p));
    }
    void setPixel(int x, int y, int32_t c) override {
        if (!inBoard(x, y)) return;
        image_.setPixel(x, y, qRgb(c & 255, (c >> 8) & 255, (c >> 16) & 255));
        x1_ = std::min(x1_, x);
        y1_ = std::min(y1_, y);
        x2_ = std::max(x2_, x);
        y2_ = std::max(y2_, y);
    }
    // The area touched since the last call (empty when none).
    QRect takeDirty() {
        QRect r;
        if (x1_ <= x2_) r = QRect(QPoint(x1_, y1_), QPoint(x2_, y2_));
        x1_ = y1_ = INT_MAX;
        x2_ = y2_ = INT_MIN;
        return r;
    }

    ParticlePool pool;

private:
    QImage& image_;
    int x1_ = INT_MAX, y1_ = INT_MAX, x2_ = INT_MIN, y2_ = INT_MIN;
};

// Counts the long procedures on the stack; when the last one unwinds after a close
// request, the window closes.
struct Form1::Busy {
    Form1& f;
    explicit Busy(Form1& form) : f(form) { ++f.busy_; }
    ~Busy() {
        if (--f.busy_ == 0 && f.unloadPending_) f.finishUnload();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

// ---------------------------------------------------------------------------------
// The window

Form1::Form1(PlaySetup setup, QWidget* parent, Clock& clock, PlayAudio audio)
    : QDialog(parent),
      clock_(clock),
      audio_(std::move(audio)),
      setup_(std::move(setup)),
      model_(setup_.pack.levels, setup_.finalMessage, setup_.options) {
    buildControls();
    restoreSize();
    hintSearch_ = new QFutureWatcher<Hint>(this);
    connect(hintSearch_, &QFutureWatcher<Hint>::finished, this, [this] {
        // A search stopped because the board changed has no answer.
        if (hintSearch_->future().resultCount() > 0) answerHint(hintSearch_->result());
    });
    hintTimer_ = new QTimer(this);
    hintTimer_->setInterval(50);
    connect(hintTimer_, &QTimer::timeout, this, [this] {
        if (clock_.nowMs() >= hintUntil_) endHint(true);
    });

    messageFont_ = QFont(QStringLiteral("DejaVu Sans"));
    messageFont_.setBold(true);
    messageFont_.setPointSize(24);
    particles_ = std::make_unique<BoardParticles>(Feld->picture());
}

Form1::Form1(QWidget* parent, Clock& clock) : Form1(playSetupOf(state()), parent, clock) {}

void Form1::buildControls() {
    // 642 x 468 at the start and at least; larger, the board grows (Form1Keys.cpp).
    setMinimumSize(BoardLayout::BaseWidth, BoardLayout::BaseHeight);
    resize(BoardLayout::BaseWidth, BoardLayout::BaseHeight);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setWindowTitle(QStringLiteral("Lumor"));
    setMouseTracking(true);
    // The captions were laid out for a small 8-point window font; a larger one cuts
    // "Turbo ausschalten" off in its 105-pixel button.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    look::applyWindowLook(this);

    buildStock();
    Feld = new BoardView(this, FeldHeight);
    Feld->move(0, 48);
    // The board's clicks come in board pixels, whatever its scale and place in the window.
    Feld->setFocusPolicy(Qt::StrongFocus);
    Feld->onSystemPaint = [this] { Feld_Paint(); };
    Feld->onPress = [this](Qt::MouseButton b, const QPointF& p) {
        const BoardLayout::Point at = layout_.boardPixel(p.x() + Feld->x(), p.y() + Feld->y());
        Feld_MouseDown(b, at.x, at.y);
    };
    Feld->onMove = [this](const QPointF& p) {
        const BoardLayout::Point at = layout_.boardPixel(p.x() + Feld->x(), p.y() + Feld->y());
        Feld_MouseMove(at.x, at.y);
    };
    if (setup_.grid)
        Feld->setGrid([this](int x, int y) {
            return model_.hasLevel() && model_.phase() != AttemptPhase::Intro &&
                   model_.cell(x, y) == Empty;
        });
    Feld->setToolTip(QStringLiteral(
        "Taste T: ein Tipp – zeigt zwei Sekunden lang ein Feld einer besten Lösung"));

    // Left to right, the order the tab key follows.
    const struct {
        QPushButton*& control;
        QString caption;
        int x, width;
        void (Form1::*click)();
    } buttons[] = {
        {Command4, QStringLiteral("Turbo einschalten"), 8, 105, &Form1::Command4_Click},
        {Command2, QStringLiteral("N\u00e4chste Musik"), 128, 89, &Form1::Command2_Click},
        {Command3, NochMalCaption, 448, 89, &Form1::Command3_Click},
        {Command1, StartCaption, 552, 89, &Form1::Command1_Click},
    };
    for (const auto& b : buttons) {
        b.control = new QPushButton(b.caption, this);
        b.control->setGeometry(b.x, 440, b.width, 25);
        b.control->setAutoDefault(false);
        // Reached by the tab key, but a click leaves the keyboard with the board.
        b.control->setFocusPolicy(Qt::TabFocus);
        connect(b.control, &QPushButton::clicked, this, b.click);
    }

    const struct {
        QTimer*& timer;
        int intervalMs;
        void (Form1::*tick)();
    } timers[] = {
        {Timer1, 1, &Form1::Timer1_Timer},
        {Timer2, 1, &Form1::Timer2_Timer},
        {Timer3, 500, &Form1::Timer3_Timer},
    };
    for (const auto& t : timers) {
        t.timer = new QTimer(this);
        t.timer->setInterval(t.intervalMs);
        connect(t.timer, &QTimer::timeout, this, t.tick);
    }
    notes_ = new BoardNotes(this, Feld, Command2, Command3);
    rememberLayout();
}

// The total and, for slots 1..8, a picture with its count below.
void Form1::buildStock() {
    Label1 = new QLabel(QStringLiteral("Gesamt:"), this);
    Label1->setGeometry(8, 8, 49, 17);
    for (int i = 0; i <= SlotCount; ++i) {
        Anzahl[static_cast<size_t>(i)] = new QLabel(QStringLiteral("0"), this);
        Anzahl[static_cast<size_t>(i)]->setMouseTracking(true);
    }
    Anzahl[0]->setGeometry(16, 32, 33, 17);
    for (int s = 1; s <= SlotCount; ++s) {
        const int x = 80 + 72 * (s - 1);
        auto* img = new StockImage(this, s, [this](int index) { Image1_Click(index); });
        img->setGeometry(x, 0, 32, 32);
        Image1[static_cast<size_t>(s)] = img;
        Anzahl[static_cast<size_t>(s)]->setGeometry(x, 32, 33, 17);
    }
}

Form1::~Form1() {
    if (hints_) hints_->cancel();
    hintSearch_->cancel();
    stopForesight();
}

bool Form1::levelQueued() const { return Timer2->isActive(); }

bool Form1::timersStopped() const {
    return !Timer1->isActive() && !Timer2->isActive() && !Timer3->isActive();
}

void Form1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void Form1::Form_Load() {
    posFrame_ = false;
    messageText_ = QStringLiteral(" ");
    Feld->setAutoRedraw(opt(OptAutoRedraw));
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setPicture(bilder().tile(codeOfSlot(s)));
    model_.open(setup_.startLevel);

    music_ = audio_.songs();
    if (!setup_.musicOn || music_.empty()) {
        Command2->hide();
        Timer3->stop();
    } else {
        musicIndex_ = randomBelow(static_cast<int>(music_.size()));
        Command2->show();
        Timer3->start();
    }
    Timer2->start();
    Feld->setFocus();
    // The turbo starts on and is switched off as by a click, which sets the caption.
    if (!model_.turbo()) model_.toggleTurbo();
    Command4_Click();
}

// ---------------------------------------------------------------------------------
// Closing

void Form1::closeEvent(QCloseEvent* e) {
    e->ignore();  // the flow closes the window itself once nothing of it runs
    Unload();
}

void Form1::reject() { Unload(); }

void Form1::Unload() {
    model_.BeamState = BeamClosing;
    unloadPending_ = true;
    if (busy_ == 0) finishUnload();
}

void Form1::finishUnload() {
    unloadPending_ = false;
    if (unloaded_) return;
    unloaded_ = true;
    rememberSize();
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    QDialog::done(QDialog::Rejected);
}

// ---------------------------------------------------------------------------------
// Buttons and timers of the flow

void Form1::Command1_Click() {
    stopForesight();
    if (model_.pressStart() == StartAction::Start)
        Timer1->start();
    else
        showButtons();
}

void Form1::Command2_Click() {
    const int n = static_cast<int>(music_.size());
    if (n == 0) return;
    auto next = [&] { musicIndex_ = (musicIndex_ + 1) % n; };
    next();
    if (matchesPattern(music_[static_cast<size_t>(musicIndex_)], "TITEL.*")) next();
    audio_.song(setup_.appFolder + "musik\\" + music_[static_cast<size_t>(musicIndex_)]);
    CaptionUpdate();
}

void Form1::Command3_Click() {
    const bool setBack = model_.pressRetry();
    showSelection();
    if (setBack) {
        Aufbau();
        showButtons();
    }
}

void Form1::Command4_Click() {
    model_.toggleTurbo();
    Command4->setText(model_.turbo() ? QStringLiteral("Turbo ausschalten")
                                     : QStringLiteral("Turbo einschalten"));
}

void Form1::Timer3_Timer() {
    if (audio_.songOver()) Command2_Click();
    if (model_.BeamState == BeamClosing) Unload();
}

void Form1::Timer2_Timer() {
    Busy busy(*this);
    Timer2->stop();
    // A start level outside the pack (a stale Handover) has nothing to play.
    if (!model_.hasLevel()) {
        Command1->setEnabled(false);
        Command3->setEnabled(false);
        Unload();
        return;
    }
    model_.beginLevel();
    prepareHints();
    if (onLevelStart) onLevelStart(model_.level());
    showButtons();
    Message(toQt(model_.stored().Name), true);
    if (model_.BeamState == BeamClosing) {
        Unload();
        return;
    }
    model_.buildLevel();
    Aufbau();
    showButtons();
    notes_->levelBuilt(model_.level(), model_.stored());
}

// ---------------------------------------------------------------------------------
// Messages and the celebration

// Clears the board, hides the stock and shows the text instead of the cells.
void Form1::beginMessage(const QString& text) {
    endHint(false);
    notes_->hideNote();
    Feld->clear();
    showStock(false);
    model_.BeamState = BeamRunning;
    messageFont_ = fontForText(text);
    messageText_ = text;
    if (onMessage) onMessage(text);
}

// Draws the text in a yellow of brightness `from`, `from + step`, ... as far as `to`, one
// step every 10 ms. A close request ends it; any other change of BeamState only cuts the waits.
void Form1::fadeText(const QString& text, int from, int to, int step) {
    const auto interrupted = [this] { return model_.BeamState != BeamRunning; };
    for (int b = from; (step > 0 ? b <= to : b >= to) && model_.BeamState != BeamClosing;
         b += step) {
        const int64_t start = clock_.nowMs();
        pen_ = QColor(b, b, 0);
        printCentred(text, pen_);
        Feld->changedAll();
        clock_.waitUntil(start + FadeStepMs, interrupted);
    }
}

void Form1::Message(const QString& Text, bool Kontrollszeigen) {
    Busy busy(*this);
    beginMessage(Text);
    fadeText(Text, 0, 250, 10);
    if (model_.BeamState != BeamClosing)
        clock_.waitUntil(clock_.nowMs() + MessageHoldMs,
                         [this] { return model_.BeamState != BeamRunning; });
    fadeText(Text, 255, 5, -10);
    messageText_.clear();
    if (model_.BeamState != BeamClosing) {
        pen_ = Yellow;
        if (Kontrollszeigen) showStock(true);
    }
}

void Form1::BewegPartikel() {
    if (!particles_->pool.enabled()) return;
    particles_->pool.BewegPartikel(*particles_);
    Feld->changed(particles_->takeDirty());
}

void Form1::Sieg() {
    Busy busy(*this);
    const QString text = toQt(setup_.finalMessage);
    beginMessage(text);
    fadeText(text, 0, 250, 10);
    const auto interrupted = [this] { return model_.BeamState != BeamRunning; };
    particles_->pool.setEnabled(opt(OptParticles));
    while (model_.BeamState == BeamRunning) {
        const int64_t start = clock_.nowMs();
        if (randomBelow(100) < 10) {
            const int x = randomBelow(FeldWidth) - 16;
            const int y = randomBelow(FeldHeight) - 16;
            const bool cool = !(randomBelow(100) < 50);
            particles_->pool.Addpartikel(edition().fireworkSparks, x, y, x + 32, y + 32, cool);
        }
        BewegPartikel();
        clock_.waitUntil(start + FireworkFrameMs, interrupted);
    }
    Unload();
}

// ---------------------------------------------------------------------------------
// The beam run

void Form1::Timer1_Timer() {
    Busy busy(*this);
    Timer1->stop();
    beginRun();
    int64_t nextFrame = 0;
    while (model_.BeamState == BeamRunning && runCell(nextFrame)) {
    }
    endOfAttempt();
}

void Form1::beginRun() {
    messageText_.clear();
    endHint(true);
    notes_->hideNote();
    notes_->clicked(Refusal::None);
    const StepOutput& started = model_.startAttempt();
    showButtons();
    posFrame_ = false;
    LöschPosFeld();
    Label1->hide();
    for (int s = 1; s <= SlotCount; ++s) Image1[static_cast<size_t>(s)]->hide();
    showSelection();
    for (int i = 0; i <= SlotCount; ++i) Anzahl[static_cast<size_t>(i)]->hide();

    particles_->pool.setEnabled(opt(OptParticles));
    particles_->pool.reset();
    particles_->takeDirty();
    pen_ = Yellow;
    sound(started);
}

void Form1::sound(const StepOutput& step) {
    for (int snd : step.sounds)
        if (snd >= 0 && snd < SoundCount)
            audio_.sound(setup_.appFolder + SoundFiles[static_cast<size_t>(snd)]);
}

bool Form1::runCell(int64_t& nextFrame) {
    BoardParticles& parts = *particles_;
    BeamRun& run = model_.run();
    int& BeamState = model_.BeamState;
    const auto spawn = [&parts](const StepOutput& o) {
        for (const SparkRequest& r : o.sparks) parts.pool.add(r);
    };
    const auto closing = [&BeamState] { return BeamState == BeamClosing; };

    run.setState(BeamState);
    const StepOutput& c = run.cellStep();
    spawn(c);
    sound(c);
    if (onCellStep) onCellStep();
    if (run.finished()) {
        BeamState = run.state();
        return false;
    }
    const int PacingMs = edition().subStepMs;
    for (int s = 0; s < SubSteps && !run.beams().empty(); ++s) {
        if (BeamState == BeamClosing) break;
        const bool passes = parts.pool.enabled() && !model_.turbo();
        if (passes) parts.pool.erasePass(parts);
        run.setState(BeamState);
        const StepOutput& o = run.subStep(s);
        if (o.closing) break;
        Feld->apply(o, pen_);
        spawn(o);
        sound(o);
        if (passes) parts.pool.moveDrawPass(parts);
        Feld->changed(parts.takeDirty());
        if (BeamRun::waitsAfter(s, model_.turbo(), opt(OptTurboFaster))) {
            clock_.waitUntil(nextFrame, closing);
            // The wait sleeps and so wakes up a little late; keeping to the schedule
            // (unless a whole frame was lost, as after a pause) holds a waited
            // sub-step at its length instead of letting each wake-up delay add up.
            const int64_t woke = clock_.nowMs();
            nextFrame = woke - nextFrame < PacingMs ? nextFrame + PacingMs : woke + PacingMs;
        }
        while (BeamState == BeamPaused)
            clock_.waitFor([&BeamState] { return BeamState != BeamPaused; });
    }
    return true;
}

bool Form1::finale(int frames) {
    int64_t last = clock_.nowMs();
    for (int f = 0; f < frames && model_.BeamState != BeamClosing; ++f) {
        BewegPartikel();
        clock_.waitUntil(last + FinaleFrameMs, [this] { return model_.BeamState == BeamClosing; });
        last = clock_.nowMs();
    }
    return model_.BeamState != BeamClosing;
}

void Form1::endOfAttempt() {
    model_.endAttempt();
    showButtons();
    if (model_.BeamState == BeamClosing) {
        Unload();
        return;
    }
    if (model_.BeamState == BeamWon) {
        if (onLevelWon) onLevelWon(model_.level());
        if (!finale(80)) {
            Unload();
            return;
        }
        Message(QString::fromUtf8(edition().victoryMessage), false);
        if (model_.BeamState == BeamClosing) {
            Unload();
            return;
        }
        switch (model_.advance()) {
            case AfterVictory::NextLevel:
                Timer2->start();
                return;
            case AfterVictory::FinalMessage:
                Sieg();
                break;
            case AfterVictory::End:
                break;
        }
        Unload();
        return;
    }
    // Failed or cancelled.
    if (!finale(50)) {
        Unload();
        return;
    }
    model_.restoreAfterFailure();
    Message(QString::fromUtf8(edition().failureMessage), true);
    if (model_.BeamState == BeamClosing) {
        Unload();
        return;
    }
    model_.showAgain();
    Aufbau();
    showButtons();
}

}  // namespace lumor
