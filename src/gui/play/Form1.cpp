#include "play/Form1.h"

#include "app/Audio.h"
#include "app/Text.h"
#include "app/Wait.h"
#include "app/edition.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/state.h"
#include "levels/levelsource.h"
#include "play/Bilder.h"
#include "play/beamrun.h"
#include "play/cells.h"
#include "play/particles.h"
#include "play/playmodel.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace lumor {

namespace {

constexpr int FeldWidth = BoardPixelWidth;  // the board picture box's visible size
constexpr int FeldHeight = 383;             // one row short of the 12 cell rows
const QColor Yellow(255, 255, 0);           // the beam's colour, whatever the skin
const QColor DarkGrey(64, 64, 64);

constexpr int FinaleFrameMs = 18;
constexpr int FadeStepMs = 10;
constexpr int MessageHoldMs = 1500;
constexpr int FireworkFrameMs = 50;

const QString StartCaption = QStringLiteral("Start");
const QString StopCaption = QStringLiteral("Stop");
const QString WeiterCaption = QStringLiteral("Weiter");
const QString NochMalCaption = QStringLiteral("Noch mal");
const QString AbbrechenCaption = QStringLiteral("Abbrechen");

// A whole random number below n, as Int(Rnd * n).
int randomBelow(int n) { return static_cast<int>(programRandom().next() * n); }

// The piece of a stock slot as its tooltip names it; deflectors by the shape of their
// turn, as the level sources draw them.
QString pieceName(int slot) {
    const int code = codeOfSlot(slot);
    switch (code) {
        case Wall:
            return QStringLiteral("Wand");
        case Cross:
            return QStringLiteral("Kreuz");
        case Sand:
            return QStringLiteral("Sand");
        case Splitter:
            return QStringLiteral("Teiler");
        default:
            return QStringLiteral("Umlenker ") + QString::fromStdString(sourceCharOf(code));
    }
}

// Where the chosen stock slot is marked behind its picture and count.
QRect slotPanel(int slot) { return {80 + 72 * (slot - 1) - 6, 0, 46, 47}; }

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
// The stock images

StockImage::StockImage(QWidget* parent, int index, std::function<void(int)> onClick)
    : QWidget(parent), index_(index), onClick_(std::move(onClick)) {
    setMouseTracking(true);
}

void StockImage::setPicture(const QImage& img) {
    picture_ = img;
    update();
}

void StockImage::setBorderStyle(int style) {
    if (style == border_) return;
    border_ = style;
    // Like an image control without stretching, the frame is drawn around the picture:
    // the control grows by one pixel on each side, its top-left corner stays.
    resize(border_ ? 34 : 32, border_ ? 34 : 32);
    update();
}

void StockImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int inset = border_ ? 1 : 0;
    p.drawImage(inset, inset, picture_);
    if (border_) {
        // A single-line frame is easily missed on a dark tile: the beam's colour inside it.
        p.setPen(QPen(Yellow, 2));
        p.drawRect(QRectF(2, 2, width() - 4, height() - 4));
        p.setPen(Qt::black);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void StockImage::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onClick_) onClick_(index_);
}

// ---------------------------------------------------------------------------------
// The window

Form1::Form1(QWidget* parent, Clock& clock) : QDialog(parent), clock_(clock), model_(state()) {
    setFixedSize(642, 468);
    setWindowTitle(QStringLiteral("Lumor"));
    setMouseTracking(true);
    // The captions were laid out for a small 8-point window font; a larger one cuts
    // "Turbo ausschalten" off in its 105-pixel button.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

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

    Feld = new BoardView(this, FeldHeight);
    Feld->move(0, 48);
    Feld->onSystemPaint = [this] { Feld_Paint(); };
    Feld->onPress = [this](Qt::MouseButton b, const QPointF& p) {
        Feld_MouseDown(b, p.x(), p.y());
    };
    Feld->onMove = [this](const QPointF& p) { Feld_MouseMove(p.x(), p.y()); };
    Feld->setToolTip(QStringLiteral(
        "Taste T: ein Tipp – zeigt zwei Sekunden lang ein Feld einer besten Lösung"));

    auto button = [this](const QString& caption, int x, int w) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(x, 440, w, 25);
        b->setAutoDefault(false);
        return b;
    };
    Command4 = button(QStringLiteral("Turbo einschalten"), 8, 105);
    Command2 = button(QStringLiteral("N\u00e4chste Musik"), 128, 89);
    Command3 = button(NochMalCaption, 448, 89);
    Command1 = button(StartCaption, 552, 89);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(1);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    Timer3 = new QTimer(this);
    Timer3->setInterval(500);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);

    hintSearch_ = new QFutureWatcher<Hint>(this);
    connect(hintSearch_, &QFutureWatcher<Hint>::finished, this,
            [this] { answerHint(hintSearch_->result()); });
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

Form1::~Form1() {
    if (hints_) hints_->cancel();
    hintSearch_->cancel();
}

void Form1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void Form1::Form_Load() {
    for (int i = 0; i < SoundCount; ++i)
        soundPaths_[static_cast<size_t>(i)] =
            state().AppFolder + SoundFiles[static_cast<size_t>(i)];
    posFrame_ = false;
    messageText_ = QStringLiteral(" ");
    Feld->setAutoRedraw(state().opt(OptAutoRedraw));
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setPicture(bilder().tile(codeOfSlot(s)));
    model_.open(state().handover.toInt());

    music_ = musicFiles();
    if (!state().MusicOn || music_.empty()) {
        Command2->hide();
        Timer3->stop();
    } else {
        musicIndex_ = randomBelow(static_cast<int>(music_.size()));
        Command2->show();
        Timer3->start();
    }
    Timer2->start();
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

void Form1::keyPressEvent(QKeyEvent* e) {
    // The board window has no cancel key: Escape must not end a marathon by accident.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    if (e->key() == HintKey && e->modifiers() == Qt::NoModifier) {
        e->accept();
        Tipp();
        return;
    }
    QDialog::keyPressEvent(e);
}

void Form1::Unload() {
    model_.BeamState = BeamClosing;
    unloadPending_ = true;
    if (busy_ == 0) finishUnload();
}

void Form1::finishUnload() {
    unloadPending_ = false;
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    QDialog::done(QDialog::Rejected);
}

// ---------------------------------------------------------------------------------
// Drawing

void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(DarkGrey);
    p.drawLine(0, 47, 640, 47);
    p.drawLine(0, 431, 640, 431);
    const int slot = model_.selectedSlot();
    if (slot >= 1 && slot <= SlotCount && Image1[static_cast<size_t>(slot)]->isVisible()) {
        QColor glow = Yellow;
        glow.setAlpha(90);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(slotPanel(slot), 6, 6);
    }
}

void Form1::showButtons() {
    const AttemptPhase phase = model_.phase();
    Command1->setText(phase == AttemptPhase::Running  ? StopCaption
                      : phase == AttemptPhase::Paused ? WeiterCaption
                                                      : StartCaption);
    Command3->setText(model_.attemptRunning() ? AbbrechenCaption : NochMalCaption);
    const bool open = phase != AttemptPhase::Intro && phase != AttemptPhase::Finale;
    Command1->setEnabled(open);
    Command3->setEnabled(open);
}

void Form1::showCounts() {
    for (int i = 0; i <= SlotCount; ++i)
        Anzahl[static_cast<size_t>(i)]->setText(QString::number(model_.stock(i)));
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setToolTip(
            QStringLiteral("%1 (noch %2)").arg(pieceName(s)).arg(model_.stock(s)));
}

void Form1::showSelection() {
    for (int s = 1; s <= SlotCount; ++s)
        Image1[static_cast<size_t>(s)]->setBorderStyle(s == model_.selectedSlot() ? 1 : 0);
    update(0, 0, width(), 48);  // the mark behind the chosen slot
}

void Form1::showStock(bool visible) {
    Label1->setVisible(visible);
    for (int s = 1; s <= SlotCount; ++s) Image1[static_cast<size_t>(s)]->setVisible(visible);
    for (int i = 0; i <= SlotCount; ++i) Anzahl[static_cast<size_t>(i)]->setVisible(visible);
}

void Form1::Aufbau() {
    endHint(false);
    Feld->clear();
    messageText_.clear();
    Feld->paintBoard(edition().aufbauPaintsStored ? model_.stored().Cells : model_.saved().Cells);
    showCounts();
    CaptionUpdate();
    if (state().opt(OptPositionFrame)) posFrame_ = true;
}

void Form1::Feld_Paint() {
    if (Feld->autoRedraw()) return;  // the persistent picture shows itself
    if (!messageText_.isEmpty()) {
        Feld->picture().fill(Qt::black);
        printCentred(messageText_, pen_);
        Feld->changedAll();
    } else {
        Feld->paintBoard(model_.board());
        if (hint_) drawHint();
    }
}

void Form1::ErstellePosFeld(int x, int y) {
    PosX = x;
    PosY = y;
    Feld->drawFrame(x, y);
    const int32_t pen = edition().penAfterFrame;
    pen_ = QColor(pen & 255, (pen >> 8) & 255, (pen >> 16) & 255);
}

void Form1::LöschPosFeld() {
    const int x = PosX.value_or(0);
    if (x >= 0 && x < BoardWidth && PosY >= 0 && PosY < BoardHeight) {
        Feld->paintCell(x, PosY, model_.cell(x, PosY));
        if (hint_ && hint_->x == x && hint_->y == PosY) drawHint();
    }
}

QFont Form1::fontForText(const QString& text) const {
    QFont f = messageFont_;
    for (int size = 24; size >= 8; --size) {
        f.setPointSize(size);
        if (QFontMetrics(f, &Feld->picture()).horizontalAdvance(text) <= FeldWidth) return f;
    }
    return f;  // size 8: a text too wide even then is cut off at the edges
}

void Form1::printCentred(const QString& text, const QColor& colour) {
    QPainter p(&Feld->picture());
    p.setFont(messageFont_);
    p.setPen(colour);
    const QFontMetrics fm = p.fontMetrics();
    const int left = FeldWidth / 2 - fm.horizontalAdvance(text) / 2;
    const int top = FeldHeight / 2 - fm.height() / 2;
    p.drawText(left, top + fm.ascent(), text);
}

void Form1::CaptionUpdate() {
    const int level = model_.level();
    if (level < 0 || level >= Levels::Capacity) return;
    const LevelRecord& rec = state().pack.levels[level];
    QString caption = QStringLiteral("Level %1 - ").arg(level + 1) + toQt(rec.Name) +
                      QStringLiteral(" (Passwort:") + toQt(rec.Password) + QStringLiteral(")");
    if (model_.hintsUsed() > 0) caption += QStringLiteral(" Tipps:%1").arg(model_.hintsUsed());
    if (state().MusicOn) {
        caption += QStringLiteral(" Musik:");
        if (musicIndex_ >= 0 && musicIndex_ < static_cast<int>(music_.size()))
            caption +=
                QString::fromStdString(displayFileName(music_[static_cast<size_t>(musicIndex_)]));
    }
    setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------
// Placing pieces

void Form1::Image1_Click(int Index) {
    model_.selectSlot(Index);
    showSelection();
}

void Form1::Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y) {
    const QPoint c = BoardView::cellAt({X, Y});
    const int cx = c.x(), cy = c.y();
    if (cx < 0 || cy < 0 || cx > BoardWidth - 1 || cy > BoardHeight - 1) return;
    if (!model_.hasLevel()) return;  // no level on the board
    if (Button == Qt::LeftButton && model_.selectedSlot() >= 0) {
        const PlayModel::Placed placed = model_.place(cx, cy);
        if (placed.placed) {
            if (hint_ && hint_->x == cx && hint_->y == cy) endHint(false);
            Feld->paintCell(cx, cy, model_.cell(cx, cy));
            showCounts();
        }
        if (placed.autostart) Command1_Click();
    } else if (Button == Qt::RightButton && model_.selectedSlot() >= 0) {
        const PlayModel::Taken taken = model_.takeBack(cx, cy);
        if (taken.taken) {
            showCounts();
            showSelection();
            if (hint_ && hint_->x == cx && hint_->y == cy) endHint(false);
            Feld->paintCell(cx, cy, taken.code);
        }
    }
    if (posFrame_) {
        LöschPosFeld();
        ErstellePosFeld(cx, cy);
    }
}

void Form1::Feld_MouseMove(qreal X, qreal Y) {
    if (!posFrame_) return;
    const QPoint c = BoardView::cellAt({X, Y});
    if (c.x() != PosX.value_or(0) || c.y() != PosY) {
        LöschPosFeld();
        ErstellePosFeld(c.x(), c.y());
    }
}

void Form1::mouseMoveEvent(QMouseEvent*) {
    // Over the window itself, a count label or a stock image: the frame goes.
    if (posFrame_) LöschPosFeld();
}

// ---------------------------------------------------------------------------------
// Hints

bool Form1::hintSearching() const { return hintSearch_->isRunning(); }

// The level's answer, searched on one thread from the level's start: the beam run keeps
// the other core. A level from the editor may be beyond any search: it gives up after a
// while, and at once when the window or the level goes.
void Form1::prepareHints() {
    if (hints_) hints_->cancel();
    hints_ = std::make_shared<HintSource>(model_.stored(), 1);
    const auto deadline = std::chrono::steady_clock::now() + HintSearchLimit;
    QThreadPool::globalInstance()->start([source = hints_, deadline] {
        source->prepare([deadline] { return std::chrono::steady_clock::now() > deadline; });
    });
}

void Form1::Tipp() {
    if (!model_.hasLevel() || model_.phase() != AttemptPhase::Idle || !messageText_.isEmpty() ||
        hintSearching())
        return;
    hintAskedFor_ = model_.asPlaced();
    if (!hints_ || hints_->stored().Cells != model_.stored().Cells ||
        hints_->stored().Stock != model_.stored().Stock)
        prepareHints();
    if (const std::optional<Hint> known = hints_->known(hintAskedFor_)) {
        answerHint(*known);
        return;
    }
    auto promise = std::make_shared<QPromise<Hint>>();
    hintSearch_->setFuture(promise->future());
    promise->start();
    const auto deadline = std::chrono::steady_clock::now() + HintSearchLimit;
    QThreadPool::globalInstance()->start(
        [promise, deadline, source = hints_, current = hintAskedFor_] {
            promise->addResult(source
                                   ->hintFor(current,
                                             [&promise, deadline] {
                                                 return promise->isCanceled() ||
                                                        std::chrono::steady_clock::now() > deadline;
                                             })
                                   .value_or(Hint{}));
            promise->finish();
        });
}

void Form1::answerHint(const Hint& h) {
    const LevelRecord now = model_.asPlaced();
    // The player has moved on meanwhile: the answer is about another board.
    if (model_.phase() != AttemptPhase::Idle || !messageText_.isEmpty() ||
        now.Cells != hintAskedFor_.Cells || now.Stock != hintAskedFor_.Stock)
        return;
    lastHint_ = h;
    if (h.kind != Hint::Kind::Cell) {
        QToolTip::showText(Command1->mapToGlobal(QPoint(0, 0)),
                           h.kind == Hint::Kind::Complete
                               ? QStringLiteral("Alle Steine liegen richtig: Start!")
                               : QStringLiteral("Für diesen Level ist keine Lösung bekannt."),
                           Command1);
        return;
    }
    endHint(true);
    model_.noteHint();
    CaptionUpdate();
    hint_ = h;
    hintUntil_ = clock_.nowMs() + HintShownMs;
    drawHint();
    if (posFrame_ && PosX == h.x && PosY == h.y) Feld->drawFrame(h.x, h.y);
    hintTimer_->start();
}

void Form1::drawHint() {
    const Hint& h = *hint_;
    Feld->paintCell(h.x, h.y, model_.cell(h.x, h.y));
    const QRect cell(CellPixels * h.x, CellPixels * h.y, CellPixels, CellPixels);
    QPainter p(&Feld->picture());
    if (h.code != Empty) {
        p.setOpacity(0.65);
        p.drawImage(cell.topLeft(), bilder().tile(h.code));
        p.setOpacity(1);
    } else {
        // Nothing belongs here: the piece on the cell is to be taken away.
        p.setPen(QPen(Yellow, 3));
        p.drawLine(cell.topLeft() + QPoint(8, 8), cell.bottomRight() - QPoint(8, 8));
        p.drawLine(cell.topRight() + QPoint(-8, 8), cell.bottomLeft() + QPoint(8, -8));
    }
    p.setPen(QPen(Yellow, 2));
    p.drawRect(QRectF(cell).adjusted(2, 2, -2, -2));
    p.end();
    Feld->changed(cell);
}

void Form1::endHint(bool repaint) {
    hintTimer_->stop();
    if (!hint_) return;
    const Hint h = *hint_;
    hint_.reset();
    if (!repaint || !messageText_.isEmpty()) return;
    Feld->paintCell(h.x, h.y, model_.cell(h.x, h.y));
    if (posFrame_ && PosX == h.x && PosY == h.y) Feld->drawFrame(h.x, h.y);
}

// ---------------------------------------------------------------------------------
// Buttons and timers of the flow

void Form1::Command1_Click() {
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
    PlaySong(state().AppFolder + "musik\\" + music_[static_cast<size_t>(musicIndex_)]);
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
    if (songLengthMs() <= songPositionMs()) Command2_Click();
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
}

// ---------------------------------------------------------------------------------
// Messages and the celebration

// Clears the board, hides the stock and shows the text instead of the cells.
void Form1::beginMessage(const QString& text) {
    endHint(false);
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
    const QString text = toQt(state().FinalMessage);
    beginMessage(text);
    fadeText(text, 0, 250, 10);
    const auto interrupted = [this] { return model_.BeamState != BeamRunning; };
    particles_->pool.setEnabled(state().opt(OptParticles));
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
    messageText_.clear();
    Timer1->stop();
    endHint(true);
    const StepOutput& started = model_.startAttempt();
    showButtons();
    posFrame_ = false;
    LöschPosFeld();
    Label1->hide();
    for (int s = 1; s <= SlotCount; ++s) Image1[static_cast<size_t>(s)]->hide();
    showSelection();
    for (int i = 0; i <= SlotCount; ++i) Anzahl[static_cast<size_t>(i)]->hide();

    BoardParticles& parts = *particles_;
    parts.pool.setEnabled(state().opt(OptParticles));
    parts.pool.reset();
    parts.takeDirty();

    BeamRun& run = model_.run();
    int& BeamState = model_.BeamState;
    pen_ = Yellow;
    auto play = [this](const StepOutput& o) {
        for (int snd : o.sounds)
            if (snd >= 0 && snd < SoundCount) PlaySoundFile(soundPaths_[static_cast<size_t>(snd)]);
    };
    auto spawn = [&parts](const StepOutput& o) {
        for (const SparkRequest& r : o.sparks) parts.pool.add(r);
    };
    play(started);

    const auto closing = [&BeamState] { return BeamState == BeamClosing; };
    const int PacingMs = edition().subStepMs;
    int64_t nextFrame = 0;
    while (BeamState == BeamRunning) {
        run.setState(BeamState);
        const StepOutput& c = run.cellStep();
        spawn(c);
        play(c);
        if (onCellStep) onCellStep();
        if (run.finished()) {
            BeamState = run.state();
            break;
        }
        for (int s = 0; s < SubSteps && !run.beams().empty(); ++s) {
            if (BeamState == BeamClosing) break;
            const bool passes = parts.pool.enabled() && !model_.turbo();
            if (passes) parts.pool.erasePass(parts);
            run.setState(BeamState);
            const StepOutput& o = run.subStep(s);
            if (o.closing) break;
            if (!o.draws.empty()) {
                QPainter p(&Feld->picture());
                QRect area;
                for (const DrawOp& d : o.draws) {
                    const QRect r(QPoint(std::min(d.x1, d.x2), std::min(d.y1, d.y2)),
                                  QPoint(std::max(d.x1, d.x2), std::max(d.y1, d.y2)));
                    switch (d.kind) {
                        case DrawKind::Box:
                            p.fillRect(r, pen_);
                            break;
                        case DrawKind::Line:
                            p.setPen(pen_);
                            p.drawLine(d.x1, d.y1, d.x2, d.y2);
                            break;
                        case DrawKind::Tile:
                            p.drawImage(d.x1, d.y1, bilder().tile(d.picture));
                            break;
                        case DrawKind::SandPicture:
                            p.drawImage(d.x1, d.y1, bilder().sand(d.picture));
                            break;
                    }
                    area |= r.adjusted(0, 0, 1, 1);
                }
                p.end();
                Feld->changed(area);
            }
            spawn(o);
            play(o);
            if (passes) parts.pool.moveDrawPass(parts);
            Feld->changed(parts.takeDirty());
            if (BeamRun::waitsAfter(s, model_.turbo(), state().opt(OptTurboFaster))) {
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
    }
    endOfAttempt();
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
