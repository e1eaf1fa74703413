#include "editor/Editor.h"

#include "app/Dialogs.h"
#include "app/Text.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/state.h"
#include "app/userdata.h"
#include "editor/IDEdit.h"
#include "editor/Import.h"
#include "editor/LiveCheck.h"
#include "editor/LoadMap.h"
#include "editor/TextFields.h"
#include "editor/boardedit.h"
#include "editor/levellist.h"
#include "editor/packlint.h"
#include "editor/recovery.h"
#include "generator/generator.h"
#include "play/Bilder.h"
#include "play/BoardView.h"
#include "play/Form1.h"
#include "play/cells.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QIcon>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace lumor {

namespace {

const QString PasswordPrompt = QStringLiteral("Bitte Passwort eingeben!");
const QString WrongPassword = QStringLiteral("Das Passwort war leider Falsch!");
const QString OneLevelLeft = QStringLiteral("Es muss mindestens ein Level vorhanden sein!");
const QString ReallyDelete = QStringLiteral("Wirklich löschen?");
const QString SaveQuestion = QStringLiteral("Wollen Sie noch speichern?");
// Long enough that a stroke or a word is finished, short enough that little is lost.
constexpr int RecoveryDelayMs = 3000;

Levels& levels() { return state().pack.levels; }
PackHeader& header() { return state().pack.header; }

std::string bytes(const QLineEdit* box) { return fromQt(box->text()).value_or(std::string()); }

// The file name of a pack's path as the dialogs list it.
QString packFileName(const std::string& path) { return fileNameToQt(fileNameOf(path)); }

QString failedWrite(const std::string& path, const std::string& why) {
    const QString file = packFileName(path);
    return QStringLiteral(
               "Das Levelpack \u201e%1\u201c wurde nicht gespeichert.\n%2\n"
               "Eine ältere Datei dieses Namens ist unverändert geblieben.")
        .arg(file, toQt(why));
}

QPushButton* button(const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

// A stock count in its box: a number the bar can show, nothing beyond (QIntValidator
// takes "75" for 0..20 as a start of typing).
class CountValidator final : public QIntValidator {
public:
    using QIntValidator::QIntValidator;
    State validate(QString& input, int& pos) const override {
        const State state = QIntValidator::validate(input, pos);
        return state == Intermediate && !input.isEmpty() && input.toInt() > top() ? Invalid : state;
    }
};

// While a solution is shown, a press anywhere in the editor takes it away first (on the
// board the press does nothing else; Feld_MouseDown sees to that).
class PlacementClicks final : public QObject {
public:
    explicit PlacementClicks(Editor* editor) : QObject(editor), editor_(editor) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress) return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == editor_ && w != editor_->Feld) editor_->hidePlacementShown();
        return false;
    }

private:
    Editor* editor_;
};

// --- The board, the palette and the pictures ----------------------------------------------

EditorPalette::EditorPalette(Editor* owner) : QWidget(owner), owner_(owner) {
    image_ = QImage(PaletteWidth, PaletteHeight, QImage::Format_RGB32);
    image_.fill(palette().color(QPalette::Window));
    setFixedSize(PaletteWidth, PaletteHeight);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void EditorPalette::paint() {
    image_.fill(palette().color(QPalette::Window));
    QPainter p(&image_);
    for (int code = 0; code < PaletteCodes; ++code) {
        const auto [x, y] = palettePosition(code);
        p.drawImage(x, y, bilder().tile(code));
    }
    update();
}

void EditorPalette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void EditorPalette::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    owner_->Symbol_MouseDown(pos.x(), pos.y());
}

void EditorPalette::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int code = paletteCode(pos.x(), pos.y());
    owner_->showStatus(code < 0 ? QString()
                                : QStringLiteral("Palette: %1").arg(toQt(paletteName(code))));
    e->ignore();  // the window's background sees the move too
}

bool EditorPalette::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    const int code = paletteCode(help->pos().x(), help->pos().y());
    if (code < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), toQt(paletteName(code)), this);
    return true;
}

TileImage::TileImage(QWidget* parent) : QWidget(parent) { setFixedSize(34, 34); }

void TileImage::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TileImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(0, 0, 33, 33);
    if (!picture_.isNull()) p.drawImage(1, 1, picture_);
}

// --- The window ---------------------------------------------------------------------------

Editor::Editor(QWidget* parent, Clock& clock) : QDialog(parent), clock_(clock) {
    setWindowTitle(QStringLiteral("Lumor - Editor"));
    boardWindow = [this](QWidget* owner) {
        Form1 board(owner, clock_);
        board.exec();
    };
    writer = writePack;
    clicks_ = new PlacementClicks(this);
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(RecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &Editor::saveRecoveryCopy);
    buildControls();
    Form_Load();
}

Editor::~Editor() = default;

void Editor::buildControls() {
    setMouseTracking(true);
    Feld = new BoardView(this);
    Feld->setCursor(Qt::CrossCursor);
    Feld->onPress = [this](Qt::MouseButton b, const QPointF& p) {
        Feld_MouseDown(b, p.x(), p.y());
    };
    Feld->onMove = [this](const QPointF& p) { Feld_MouseMove(p.x(), p.y()); };
    Feld->onRelease = [this](Qt::MouseButton, const QPointF&) { Feld_MouseUp(); };
    Symbol = new EditorPalette(this);
    for (int i = 0; i <= 8; ++i) {
        Image1[static_cast<size_t>(i)] = new TileImage(this);
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setRange(0, barMaximum(i));
        bar->setPageStep(i == 0 ? 10 : 5);
        bar->setFixedHeight(96);
        VS[static_cast<size_t>(i)] = bar;
        auto* text = new QLineEdit(this);
        text->setFixedWidth(40);
        text->setAlignment(Qt::AlignCenter);
        text->setValidator(new CountValidator(0, barMaximum(i), text));
        text->setToolTip(
            QStringLiteral("Eine Zahl von 0 bis %1; der Balken folgt").arg(barMaximum(i)));
        Text1[static_cast<size_t>(i)] = text;
        connect(bar, &QScrollBar::valueChanged, this, [this, i] { VS_Change(i); });
        connect(text, &QLineEdit::textEdited, this, [this, i] { Text1_Change(i); });
        // Left empty, the box shows the count again.
        connect(text, &QLineEdit::editingFinished, this, [this, i, text] {
            text->setText(QString::number(level().Stock[static_cast<size_t>(i)]));
        });
    }
    Levelname = new QLineEdit(this);
    Passw = new QLineEdit(this);
    auto* storable = new StorableText(this);
    Levelname->setValidator(storable);
    Passw->setValidator(storable);
    List1 = new QListWidget(this);
    List1->setMinimumWidth(230);
    // The markers of the rules a level breaks fit the line, so every entry is as high.
    const int line = List1->fontMetrics().height();
    List1->setIconSize(QSize(line, line));

    Command1 = button("Testen", this);
    Command2 = button("Sterne verteilen", this);
    Generate = button("Generieren", this);
    Generate->setToolTip(QStringLiteral(
        "Füllt den Level mit einem neuen Brett und Vorrat: genau eine Lösung, geprüft"));
    Command3 = button("Laden", this);
    Command4 = button("Speichern", this);
    Command5 = button("Neues Level einfügen", this);
    Command6 = button("Level anschließen", this);
    Command7 = button("Level löschen", this);
    Command8 = button("Hoch", this);
    Command9 = button("Runter", this);
    Command10 = button("Pack ID ändern", this);
    Command11 = button("Importieren", this);
    Status = new QLabel(this);
    Status->setMinimumWidth(300);
    // A long pack or level name is cut off rather than widening the window.
    Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    CheckLine = new QLabel(this);
    CheckLine->setToolTip(
        QStringLiteral("Strg+L zeigt eine Lösung mit den wenigsten Steinen, bis zum nächsten "
                       "Klick; nochmals Strg+L die nächste"));
    CheckCancel = new QToolButton(this);
    CheckCancel->setText(QStringLiteral("Abbrechen"));
    CheckCancel->setToolTip(QStringLiteral("Die Prüfung dieses Levels abbrechen (Esc)"));
    // Its room is kept while hidden, so the window does not grow when a check runs long.
    QSizePolicy keep = CheckCancel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    CheckCancel->setSizePolicy(keep);
    CheckCancel->hide();
    liveCheck_ = new LiveCheck(this, clock_);
    liveCheck_->onChange = [this] {
        CheckLine->setText(liveCheck_->text());
        CheckCancel->setVisible(liveCheck_->busy());
    };
    liveCheck_->onMeasured = [this] { lintSoon(); };
    lintTimer_ = new QTimer(this);
    lintTimer_->setSingleShot(true);
    lintTimer_->setInterval(0);
    connect(lintTimer_, &QTimer::timeout, this, &Editor::showLint);
    connect(CheckCancel, &QToolButton::clicked, liveCheck_, [this] { liveCheck_->cancel(); });

    // Board on the left with the palette beside it, the stock underneath, the status line
    // at the bottom; the level, the level list and the pack on the right.
    auto* selected = new QLabel(QStringLiteral("Gewählt:"), this);
    auto* paletteColumn = new QVBoxLayout;
    paletteColumn->addWidget(Symbol);
    paletteColumn->addSpacing(6);
    paletteColumn->addWidget(selected, 0, Qt::AlignHCenter);
    paletteColumn->addWidget(Image1[0], 0, Qt::AlignHCenter);
    paletteColumn->addStretch(1);
    auto* boardRow = new QHBoxLayout;
    boardRow->addWidget(Feld, 0, Qt::AlignTop);
    boardRow->addLayout(paletteColumn);

    auto* stock = new QGroupBox(QStringLiteral("Vorrat"), this);
    auto* stockGrid = new QGridLayout(stock);
    auto* total = new QLabel(QStringLiteral("Gesamt erlaubt:"), stock);
    total->setAlignment(Qt::AlignCenter);
    total->setWordWrap(true);
    total->setFixedSize(72, 34);
    Image1[0]->setToolTip(QStringLiteral("Das gewählte Element"));
    stockGrid->addWidget(total, 0, 0, Qt::AlignCenter);
    for (int i = 0; i <= 8; ++i) {
        if (i > 0) {
            stockGrid->addWidget(Image1[static_cast<size_t>(i)], 0, i, Qt::AlignCenter);
            Image1[static_cast<size_t>(i)]->setToolTip(toQt(elementName(i + 8)));
        }
        stockGrid->addWidget(VS[static_cast<size_t>(i)], 1, i, Qt::AlignCenter);
        stockGrid->addWidget(Text1[static_cast<size_t>(i)], 2, i, Qt::AlignCenter);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(boardRow);
    left->addWidget(stock);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(Status, 1);
    statusRow->addWidget(CheckLine, 0, Qt::AlignRight);
    statusRow->addWidget(CheckCancel, 0, Qt::AlignRight);
    left->addLayout(statusRow);

    auto* levelBox = new QGroupBox(QStringLiteral("Level"), this);
    auto* levelGrid = new QGridLayout(levelBox);
    levelGrid->addWidget(new QLabel(QStringLiteral("Name:"), levelBox), 0, 0);
    levelGrid->addWidget(Levelname, 0, 1);
    levelGrid->addWidget(new QLabel(QStringLiteral("Passwort:"), levelBox), 1, 0);
    levelGrid->addWidget(Passw, 1, 1);
    auto* tryRow = new QHBoxLayout;
    tryRow->addWidget(Command1);
    tryRow->addWidget(Command2);
    tryRow->addWidget(Generate);
    levelGrid->addLayout(tryRow, 2, 0, 1, 2);

    auto* listBox = new QGroupBox(QStringLiteral("Levelliste"), this);
    auto* listGrid = new QGridLayout(listBox);
    listGrid->addWidget(List1, 0, 0, 1, 2);
    listGrid->addWidget(Command5, 1, 0);
    listGrid->addWidget(Command6, 1, 1);
    listGrid->addWidget(Command7, 2, 0, 1, 2);
    listGrid->addWidget(Command8, 3, 0);
    listGrid->addWidget(Command9, 3, 1);

    auto* packBox = new QGroupBox(QStringLiteral("Levelpack"), this);
    auto* packGrid = new QGridLayout(packBox);
    packGrid->addWidget(Command3, 0, 0);
    packGrid->addWidget(Command4, 0, 1);
    packGrid->addWidget(Command10, 1, 0);
    packGrid->addWidget(Command11, 1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(levelBox);
    right->addWidget(listBox, 1);
    right->addWidget(packBox);

    // Everything stands in a scroll area, so a screen smaller than the editor (a laptop at
    // scale factor 2) still reaches every control; where it fits, no scroll bar shows.
    auto* content = new QWidget;
    content->setMouseTracking(true);
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    scroll->setMouseTracking(true);
    scroll->viewport()->setMouseTracking(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    ensurePolished();  // the style's sizes, as the window will show them
    QSize size = content->sizeHint();
    // Room is left for the window manager's frame, which is not known before the window
    // is shown.
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(16, 48));
    resize(size);

    // Moving over these ends a stroke and takes the position frame away; the group boxes
    // and labels pass their moves on to the window's background.
    for (QWidget* w : std::initializer_list<QWidget*>{List1->viewport(), Command3, Command4,
                                                      Command5, Command6, Command7, Command8}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{stock, levelBox, listBox, packBox, Status,
                                                      total, selected})
        w->setMouseTracking(true);
    // The editor's own undo, also while a text box has the focus.
    Levelname->installEventFilter(this);
    Passw->installEventFilter(this);
    for (QLineEdit* box : Text1) box->installEventFilter(this);

    for (QLineEdit* box : {Levelname, Passw})
        connect(box, &QLineEdit::inputRejected, this, [this] {
            showStatus(QStringLiteral("Dieses Zeichen kann ein Levelpack nicht speichern."));
        });
    connect(Levelname, &QLineEdit::textChanged, this, &Editor::Levelname_Change);
    connect(Passw, &QLineEdit::textChanged, this, &Editor::Passw_Change);
    connect(List1, &QListWidget::currentRowChanged, this, &Editor::List1_Click);
    connect(Command1, &QPushButton::clicked, this, &Editor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Editor::Command2_Click);
    connect(Generate, &QPushButton::clicked, this, &Editor::Generate_Click);
    connect(Command3, &QPushButton::clicked, this, &Editor::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Editor::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Editor::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Editor::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Editor::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Editor::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Editor::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Editor::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Editor::Command11_Click);
    for (const char* keys : {"Ctrl+Z"})
        connect(new QShortcut(QKeySequence(QString::fromLatin1(keys)), this), &QShortcut::activated,
                this, &Editor::undo);
    for (const char* keys : {"Ctrl+Y", "Ctrl+Shift+Z"})
        connect(new QShortcut(QKeySequence(QString::fromLatin1(keys)), this), &QShortcut::activated,
                this, &Editor::redo);
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), this), &QShortcut::activated,
            this, &Editor::showPlacement);
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+S")), this), &QShortcut::activated,
            this, &Editor::saveToOwnFile);
    Command1->setToolTip(QStringLiteral("Das Level im Spielfenster ausprobieren"));
    List1->setToolTip(QStringLiteral("Rückgängig: Strg+Z, Wiederholen: Strg+Y"));
}

LevelRecord& Editor::level() { return levels()[CurrentLevel]; }

// The window's start: an empty first level; the other records keep what they held.
void Editor::Form_Load() {
    header() = PackHeader{};
    for (int s = 1; s <= 8; ++s) Image1[static_cast<size_t>(s)]->setPicture(bilder().tile(s + 8));
    levels()[0].Stock.fill(0);
    count_ = 1;
    {
        const QSignalBlocker block(List1);
        List1->clear();
        List1->addItem(QStringLiteral("1. Noname"));
    }
    CurrentLevel = 0;
    Levelname->setText(QStringLiteral("Noname"));
    Passw->setText(QStringLiteral("Level%1").arg(CurrentLevel + 1));
    List1->setCurrentRow(0);
    List1_Click();
    Symbol->paint();
    levels()[0].Cells.fill(0);
    Feld->paintBoard(levels()[0].Cells);
    // Showing the level above checked the board an earlier pack left in the record.
    checkLevel();
    SelectedCode = -1;
    showSelectedCode();
    Saved = true;
    history_.reset(levels(), header(), {count_, CurrentLevel});
    packPath_.clear();
    stateChanged();
}

void Editor::Aufbau() {
    filling_ = true;
    const LevelRecord& l = level();
    Feld->paintBoard(l.Cells);
    for (int i = 0; i <= 8; ++i) {
        VS[static_cast<size_t>(i)]->setValue(barValue(i, l.Stock[static_cast<size_t>(i)]));
        // The true number, also where the bar can only show its end.
        Text1[static_cast<size_t>(i)]->setText(QString::number(l.Stock[static_cast<size_t>(i)]));
    }
    Levelname->setText(toQt(l.Name));
    Passw->setText(toQt(l.Password));
    filling_ = false;
    placementShown_ = false;
    checkLevel();
}

void Editor::paintCell(int x, int y) { Feld->paintCell(x, y, level().cell(x, y)); }

void Editor::showSelectedCode() {
    Image1[0]->setPicture(SelectedCode >= 0 ? bilder().tile(SelectedCode) : QImage());
}

// --- Position frame -----------------------------------------------------------------------

void Editor::ErstellePosFeld(int x, int y) {
    if (!state().opt(OptPositionFrame)) return;
    FrameCell = {x, y};
    Feld->drawFrame(x, y);
}

void Editor::LöschPosFeld() {
    if (!state().opt(OptPositionFrame)) return;
    if (FrameCell != Cell{}) paintCell(FrameCell.x, FrameCell.y);
    FrameCell = {};
}

// --- Mouse --------------------------------------------------------------------------------

void Editor::Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y) {
    // A click while a solution is shown only takes it away.
    if (placementShown_) {
        hidePlacement();
        return;
    }
    const QPoint cell = BoardView::cellAt(QPointF(X, Y));
    const int x = cell.x(), y = cell.y();
    if (x < 0 || y < 0 || x >= BoardWidth || y >= BoardHeight) return;
    Saved = false;
    if (Button == Qt::LeftButton) {
        if (SelectedCode >= 0) {
            level().cell(x, y) = static_cast<int16_t>(SelectedCode);
            paintCell(x, y);
            Drawing = true;
            stroke_ = QPointF(X, Y).toPoint();
        }
    } else if (Button == Qt::RightButton) {
        if (state().opt(OptEditorRightClickTakes)) {
            SelectedCode = level().cell(x, y);
            showSelectedCode();
        }
        level().cell(x, y) = Empty;
        paintCell(x, y);
        record();
    }
    if (state().opt(OptPositionFrame)) {
        LöschPosFeld();
        ErstellePosFeld(x, y);
    }
    showCellStatus(x, y);
    stateChanged();
}

void Editor::Feld_MouseMove(qreal X, qreal Y) {
    const QPoint cell = BoardView::cellAt(QPointF(X, Y));
    const int x = cell.x(), y = cell.y();
    const bool onBoard = x >= 0 && x < BoardWidth && y >= 0 && y < BoardHeight;
    if (Drawing && SelectedCode >= 0) paintStroke(QPointF(X, Y).toPoint());
    if (!onBoard) return;
    if (state().opt(OptPositionFrame)) {
        LöschPosFeld();
        ErstellePosFeld(x, y);
    }
    showCellStatus(x, y);
}

// Every cell the pointer crossed since the last move, not only the one it is on now.
void Editor::paintStroke(const QPoint& to) {
    for (const auto& [x, y] : cellsCrossed(stroke_.x(), stroke_.y(), to.x(), to.y())) {
        if (level().cell(x, y) == SelectedCode) continue;
        level().cell(x, y) = static_cast<int16_t>(SelectedCode);
        paintCell(x, y);
    }
    stroke_ = to;
}

void Editor::Feld_MouseUp() { endDrawing(); }

void Editor::endDrawing() {
    const bool was = Drawing;
    Drawing = false;
    if (was) record();  // a whole stroke is one step
}

void Editor::mouseMoveEvent(QMouseEvent*) {
    endDrawing();
    LöschPosFeld();
}

bool Editor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        endDrawing();
        LöschPosFeld();
    } else if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched)) {
        // Undo and redo are the editor's, not the text box's own.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combo = key->keyCombination();
        if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Editor::Symbol_MouseDown(int X, int Y) {
    hidePlacement();
    const int code = paletteCode(X, Y);
    if (code < 0) return;
    SelectedCode = code;
    showSelectedCode();
}

// --- Fields -------------------------------------------------------------------------------

void Editor::List1_Click() {
    const int row = List1->currentRow();
    if (row < 0 || row >= count_) return;
    const bool remembered = Saved;
    CurrentLevel = row;
    Aufbau();
    Saved = remembered;
    history_.moveTo(CurrentLevel);
}

void Editor::Levelname_Change() {
    Saved = false;
    level().Name = bytes(Levelname);
    if (QListWidgetItem* item = List1->item(CurrentLevel))
        item->setText(toQt(levelEntry(CurrentLevel, level().Name)));
    flagText(Levelname, QStringLiteral("Name"));
    record("name " + std::to_string(CurrentLevel));
}

void Editor::Passw_Change() {
    Saved = false;
    level().Password = bytes(Passw);
    if (!flagText(Passw, QStringLiteral("Passwort")) && !filling_) {
        const int other = samePassword(levels(), count_, CurrentLevel);
        if (other >= 0)
            showStatus(QStringLiteral("Passwort: Level %1 (\u201e%2\u201c) hat dasselbe "
                                      "Passwort; den späteren der beiden erreicht kein Passwort.")
                           .arg(other + 1)
                           .arg(toQt(levels()[other].Name)));
    }
    record("password " + std::to_string(CurrentLevel));
}

bool Editor::flagText(QLineEdit* box, const QString& label) {
    const std::optional<Unstorable> problem = firstUnstorable(bytes(box));
    const QString why =
        problem ? label + QStringLiteral(": ") + unstorableText(*problem) : QString();
    flagBox(box, why);
    if (problem && !filling_) showStatus(why);
    return problem.has_value();
}

// A typed count: stored, and the bar follows without storing it again.
void Editor::Text1_Change(int i) {
    if (!Text1[static_cast<size_t>(i)]->hasAcceptableInput()) return;
    const int typed = Text1[static_cast<size_t>(i)]->text().toInt();
    Saved = false;
    level().Stock[static_cast<size_t>(i)] = static_cast<int16_t>(typed);
    {
        const QSignalBlocker block(VS[static_cast<size_t>(i)]);
        VS[static_cast<size_t>(i)]->setValue(barValue(i, typed));
    }
    record("stock " + std::to_string(i) + " " + std::to_string(CurrentLevel));
}

void Editor::VS_Change(int i) {
    Saved = false;
    int16_t& stock = level().Stock[static_cast<size_t>(i)];
    stock = stockForBar(i, VS[static_cast<size_t>(i)]->value(), stock);
    Text1[static_cast<size_t>(i)]->setText(QString::number(stock));
    record("stock " + std::to_string(i) + " " + std::to_string(CurrentLevel));
}

// --- Level list ---------------------------------------------------------------------------

void Editor::refillList(int row) {
    const QSignalBlocker block(List1);
    while (List1->count() > count_) delete List1->takeItem(List1->count() - 1);
    for (int i = 0; i < count_; ++i) {
        const QString text = toQt(levelEntry(i, levels()[i].Name));
        if (i < List1->count())
            List1->item(i)->setText(text);
        else
            List1->addItem(text);
    }
    List1->setCurrentRow(row);
}

void Editor::selectLevel(int row) {
    refillList(row);
    List1_Click();
}

void Editor::Command5_Click() {
    if (!insertLevel(levels(), count_, CurrentLevel)) return;
    refillList(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command6_Click() {
    const int at = count_;
    if (!appendLevel(levels(), count_)) return;
    CurrentLevel = at;
    selectLevel(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command7_Click() {
    if (count_ == 1) {
        showMessage(this, OneLevelLeft);
        return;
    }
    if (askQuestion(this, ReallyDelete, QuestionButtons::YesNoDefaultYes) != Answer::Yes) return;
    Saved = false;
    removeLevel(levels(), count_, CurrentLevel);
    CurrentLevel = std::min(CurrentLevel, count_ - 1);
    refillList(CurrentLevel);
    Aufbau();
    record();
}

void Editor::Command8_Click() {
    if (CurrentLevel <= 0) return;
    Saved = false;
    swapLevels(levels(), CurrentLevel - 1, CurrentLevel);
    --CurrentLevel;
    selectLevel(CurrentLevel);
    record();
}

void Editor::Command9_Click() {
    if (CurrentLevel >= count_ - 1) return;
    Saved = false;
    swapLevels(levels(), CurrentLevel, CurrentLevel + 1);
    ++CurrentLevel;
    selectLevel(CurrentLevel);
    record();
}

// --- The level's buttons ------------------------------------------------------------------

// "Testen": the current level alone in the board window, without music or final message.
void Editor::Command1_Click() {
    saveRecoveryCopy();  // the board window is a long stretch of other code
    ProgramState& st = state();
    st.MusicOn = false;
    st.handover.set(CurrentLevel);
    const std::string name = levels()[CurrentLevel + 1].Name;
    levels()[CurrentLevel + 1].Name = Levels::EndMarkerName;
    st.FinalMessage.clear();
    if (boardWindow) boardWindow(this);
    levels()[CurrentLevel + 1].Name = name;
}

void Editor::Command2_Click() {
    Saved = false;
    distributeStars(level(), programRandom());
    Aufbau();
    record();
}

// "Generieren": a new board and stock for the current level, one undo step.
void Editor::Generate_Click() {
    const uint64_t seed = static_cast<uint64_t>(programRandom().next() * 1e9);
    const std::optional<std::string> made = fillWithGenerated(level(), seed);
    if (!made) {
        showStatus(QStringLiteral("Kein Level hielt alle Zusagen; bitte noch einmal."));
        return;
    }
    Saved = false;
    Aufbau();
    record();
    showStatus(QString::fromStdString(*made));
}

// --- The pack -----------------------------------------------------------------------------

void Editor::Command3_Click() {
    // Opening replaces the pack and its undo history: unsaved work is asked about first.
    if (!askToSave()) return;
    ProgramState& st = state();
    st.handover.clear();
    {
        LoadMap dialog(this);
        dialog.exec();
    }
    if (st.handover.empty()) return;
    // The pack is read whole before anything is taken: a damaged pack or a refused
    // password leaves the editor as it was.
    const std::string path = resolvePath(st.handover.toText());
    const PackReadResult pack = readPack(path);
    if (!pack.ok) {
        showMessage(this, toQt(pack.message));
        return;
    }
    const std::string& password = pack.contents.header.PackPassword;
    if (!password.empty()) {
        const std::optional<QString> answer = askText(this, PasswordPrompt);
        if (!answer || fromQt(*answer) != password) {
            showMessage(this, WrongPassword);
            return;
        }
    }
    header() = pack.contents.header;
    levels().assign(pack.contents.levels);
    count_ = static_cast<int>(pack.contents.levels.size());
    if (count_ == 0) {
        // A pack without levels opens with one empty level to work on.
        levels()[0] = newLevel(1);
        levels().setEndMarker(1);
        count_ = 1;
    }
    CurrentLevel = count_ - 1;
    selectLevel(CurrentLevel);
    Saved = true;
    history_.reset(levels(), header(), {count_, CurrentLevel});
    packPath_ = path;
    stateChanged();
    // Replaces a word about the pack open before, such as "Gespeichert: ...".
    showStatus(QStringLiteral("Geladen: %1").arg(packFileName(path)));
}

void Editor::Command4_Click() { saveWithDialog(); }

bool Editor::saveWithDialog() {
    ProgramState& st = state();
    st.handover.clear();
    {
        SaveMap dialog(this, packPath_.empty() ? QString() : packFileName(packPath_));
        dialog.exec();
    }
    if (st.handover.empty()) return false;
    return saveTo(resolvePath(st.handover.toText()));
}

bool Editor::saveToOwnFile() { return packPath_.empty() ? saveWithDialog() : saveTo(packPath_); }

bool Editor::saveTo(const std::string& path) {
    if (const size_t length = fileNameOf(path).size(); length > MaxPackNameBytes) {
        showMessage(this, nameTooLongMessage(length));
        return false;
    }
    const std::vector<LevelRecord> list = packLevels(levels(), count_);
    // No box takes a NUL, but a pack from elsewhere may have brought one: it is not
    // written into a pack again.
    const PackHeader& h = header();
    std::vector<std::pair<const std::string*, QString>> texts{
        {&h.PackTitle, QStringLiteral("Der Titel")},
        {&h.PackAuthor, QStringLiteral("Der Autor")},
        {&h.PackRemark, QStringLiteral("Die Bemerkung")},
        {&h.PackEndMessage, QStringLiteral("Die Meldung beim Beenden aller Levels")},
        {&h.PackLink, QStringLiteral("Die Homepageadresse")},
        {&h.PackPassword, QStringLiteral("Das Passwort des Levelpacks")}};
    for (size_t i = 0; i < list.size(); ++i) {
        texts.emplace_back(&list[i].Name, QStringLiteral("Der Name des %1. Levels").arg(i + 1));
        texts.emplace_back(&list[i].Password,
                           QStringLiteral("Das Passwort des %1. Levels").arg(i + 1));
    }
    for (const auto& [text, what] : texts)
        if (text->find('\0') != std::string::npos) {
            showMessage(this, what + QStringLiteral(" enthält ein Nullzeichen, das ein Levelpack "
                                                    "nicht aufnehmen kann. Bitte ändern sie ihn."));
            return false;
        }
    const PackWriteResult r = writer(path, header(), list, programRandom());
    if (!r.ok) {
        QString message = r.refused ? toQt(r.message) : failedWrite(path, r.message);
        // The refusal names the text; which character of it is the designer's next question.
        if (r.refused && r.message.find("kompaktibel") != std::string::npos) {
            std::vector<const std::string*> scrambled{&header().PackPassword};
            for (const LevelRecord& l : list)
                scrambled.insert(scrambled.end(), {&l.Name, &l.Password});
            for (const std::string* text : scrambled)
                if (const std::optional<Unstorable> problem = firstUnstorable(*text)) {
                    message += QStringLiteral("\n\n") + unstorableText(*problem);
                    break;
                }
        }
        showMessage(this, message);
        return false;
    }
    Saved = true;
    packPath_ = path;
    stateChanged();
    showStatus(QStringLiteral("Gespeichert: %1").arg(packFileName(path)));
    return true;
}

void Editor::Command10_Click() {
    Saved = false;
    {
        IDEdit dialog(header(), this);
        dialog.exec();
    }
    record();
}

void Editor::Command11_Click() {
    // Only a change to the pack's levels counts; the end marker behind them is no level.
    const std::vector<LevelRecord> before = packLevels(levels(), count_);
    levels()[count_].Name = Levels::EndMarkerName;
    int imported;
    {
        Import window(levels(), count_, this);
        window.exec();
        imported = window.count();
    }
    count_ = imported;
    CurrentLevel = count_ - 1;
    selectLevel(CurrentLevel);
    if (packLevels(levels(), count_) != before) Saved = false;
    record();
}

// --- Undo, status, closing ----------------------------------------------------------------

void Editor::record(const std::string& key) {
    if (filling_) return;
    history_.record(levels(), header(), {count_, CurrentLevel}, key);
    checkLevel();
    stateChanged();
}

void Editor::stateChanged() {
    QString caption = QStringLiteral("Lumor - Editor");
    if (!packPath_.empty()) caption += QStringLiteral(" - ") + packFileName(packPath_);
    if (!Saved) caption += QLatin1Char('*');
    setWindowTitle(caption);
    liveCheck_->setPack(packLevels(levels(), count_));
    lintSoon();
    if (Saved)
        removeRecoveryCopy();
    else
        recoveryTimer_->start();  // again from the start at each change
}

// --- The recovery copy --------------------------------------------------------------------

void Editor::saveRecoveryCopy() {
    recoveryTimer_->stop();
    if (Saved) return;
    const std::string folder = userDataFolder();
    if (folder.empty()) return;  // no place of the user's own: nothing to keep it in
    const std::string path = folder + "/" + recoveryFileName(state().AppFolder, packPath_);
    // Another pack than the copy written last (saved under a new name): that copy goes.
    if (path != recoveryPath_) removeRecoveryCopy();
    RecoveryCopy copy{state().AppFolder, packPath_, QDateTime::currentSecsSinceEpoch(),
                      CurrentLevel,      header(),  packLevels(levels(), count_)};
    if (writeRecoveryFile(path, recoveryBytes(copy))) recoveryPath_ = path;
}

bool Editor::recoveryPending() const { return recoveryTimer_->isActive(); }

void Editor::removeRecoveryCopy() {
    recoveryTimer_->stop();
    if (recoveryPath_.empty()) return;
    std::remove(recoveryPath_.c_str());
    recoveryPath_.clear();
}

void Editor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (offered_) return;
    offered_ = true;
    // Asked once the window is on the screen, so the question stands in front of it.
    QTimer::singleShot(0, this, &Editor::offerRecovery);
}

void Editor::offerRecovery() {
    const std::string folder = userDataPath();
    if (folder.empty()) return;
    for (auto& [path, copy] : findRecoveryCopies(folder, state().AppFolder)) {
        const QString when = QDateTime::fromSecsSinceEpoch(copy.savedAt)
                                 .toString(QStringLiteral("dd.MM.yyyy 'um' HH:mm 'Uhr'"));
        const QString pack =
            copy.packPath.empty()
                ? QStringLiteral("eines noch nie gespeicherten Levelpacks")
                : QStringLiteral("von \u201e%1\u201c").arg(packFileName(copy.packPath));
        const int n = static_cast<int>(copy.levels.size());
        const QString question =
            QStringLiteral(
                "Der Editor wurde nicht ordentlich beendet. Es gibt eine Sicherung %1 vom %2 "
                "mit %3 %4.\n\nWiederherstellen? (Nein verwirft die Sicherung.)")
                .arg(pack, when)
                .arg(n)
                .arg(n == 1 ? QStringLiteral("Level") : QStringLiteral("Levels"));
        if (askQuestion(this, question, QuestionButtons::YesNoDefaultYes) != Answer::Yes) {
            std::remove(path.c_str());
            continue;
        }
        header() = copy.header;
        levels().assign(copy.levels);
        count_ = n;
        CurrentLevel = copy.current;
        selectLevel(CurrentLevel);
        history_.reset(levels(), header(), {count_, CurrentLevel});
        Saved = false;
        packPath_ = copy.packPath;
        recoveryPath_ = path;
        stateChanged();
        showStatus(QStringLiteral("Wiederhergestellt: die Sicherung vom %1").arg(when));
        return;
    }
}

// --- The live check -----------------------------------------------------------------------

void Editor::checkLevel() { liveCheck_->check(level()); }

bool Editor::showPlacement() {
    const LevelAnalysis* r = liveCheck_->result();
    if (!r) {
        showStatus(liveCheck_->busy()
                       ? QStringLiteral("Die Prüfung läuft noch; danach zeigt Strg+L eine Lösung.")
                       : QStringLiteral("Die Prüfung wurde abgebrochen: keine Lösung bekannt."));
        return false;
    }
    if (!r->ok || !r->solvable() || r->placements.empty()) {
        showStatus(QStringLiteral("Nicht lösbar: es gibt keine Lösung zu zeigen."));
        return false;
    }
    // Again and again Strg+L: every minimal placement in turn.
    placementIndex_ = placementShown_ ? (placementIndex_ + 1) % r->placements.size() : 0;
    if (FrameCell != Cell{}) LöschPosFeld();
    Feld->paintBoard(level().Cells);
    {
        // Half see-through and outlined: not to be taken for the level's own pieces.
        QPainter p(&Feld->picture());
        QPen outline(QColor(0, 230, 255));
        outline.setStyle(Qt::DashLine);
        for (const PlacedPiece& piece : r->placements[placementIndex_]) {
            p.setOpacity(0.55);
            p.drawImage(32 * piece.x, 32 * piece.y, bilder().tile(piece.slot + 8));
            p.setOpacity(1);
            p.setPen(outline);
            p.drawRect(32 * piece.x + 1, 32 * piece.y + 1, 29, 29);
        }
    }
    Feld->changedAll();
    if (!placementShown_) {
        placementShown_ = true;
        qApp->installEventFilter(clicks_);
    }
    QString text =
        QStringLiteral("Lösung %1 von %2").arg(placementIndex_ + 1).arg(r->placementCount);
    if (r->placementCount > r->placements.size())
        text += QStringLiteral(" (zu sehen sind die ersten %1)").arg(r->placements.size());
    if (r->fewest == 0) text += QStringLiteral(": das leere Brett gewinnt schon");
    showStatus(text + QStringLiteral(" \u2013 Esc oder ein Klick nimmt sie weg"));
    return true;
}

// The board as the level holds it again.
void Editor::hidePlacement() {
    if (!placementShown_) return;
    placementShown_ = false;
    qApp->removeEventFilter(clicks_);
    Feld->paintBoard(level().Cells);
    showStatus({});
}

// --- The rules of the level list ----------------------------------------------------------

void Editor::lintSoon() { lintTimer_->start(); }

void Editor::showLint() {
    const std::vector<LevelRecord> list = packLevels(levels(), count_);
    std::vector<const LevelAnalysis*> measured;
    measured.reserve(list.size());
    for (const LevelRecord& l : list) measured.push_back(liveCheck_->measured(l));
    // The pack as lint names it: its title, else its file's name without ".llp".
    std::string title = header().PackTitle;
    if (title.empty() && !packPath_.empty())
        title = fromQt(QFileInfo(packFileName(packPath_)).completeBaseName()).value_or("");
    if (title.empty()) title = "Levelpack";
    const PackLint lint = lintPack(list, title, measured);
    const QIcon fault = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon hint = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (int i = 0; i < count_ && i < List1->count(); ++i) {
        const auto& findings = lint.levels[static_cast<size_t>(i)];
        QStringList lines;
        bool anyFault = false;
        for (const PackLintFinding& f : findings) {
            lines << QStringLiteral("\u2022 ") + QString::fromStdString(f.text);
            anyFault = anyFault || f.fault;
        }
        if (liveCheck_->gaveUp(list[static_cast<size_t>(i)]))
            lines << QStringLiteral(
                "\u2022 nicht ganz geprüft: die Prüfung dauerte zu lange "
                "oder wurde abgebrochen");
        else if (!measured[static_cast<size_t>(i)])
            lines << QStringLiteral("(wird noch geprüft)");
        QListWidgetItem* item = List1->item(i);
        item->setIcon(findings.empty() ? QIcon() : anyFault ? fault : hint);
        item->setToolTip(lines.join(QLatin1Char('\n')));
        item->setData(LintRole, QString::fromStdString([&] {
                          std::string rules;
                          for (const PackLintFinding& f : findings)
                              rules += (rules.empty() ? "" : " ") + f.rule;
                          return rules;
                      }()));
    }
    QStringList pack{QStringLiteral("Rückgängig: Strg+Z, Wiederholen: Strg+Y")};
    for (const std::string& text : lint.pack) pack << QString::fromStdString(text);
    List1->setToolTip(pack.join(QLatin1Char('\n')));
}

bool Editor::undo() {
    endDrawing();
    const std::optional<EditorPlace> place = history_.undo(levels(), header());
    if (!place) return false;
    count_ = place->count;
    CurrentLevel = std::clamp(place->current, 0, count_ - 1);
    selectLevel(CurrentLevel);
    Saved = false;
    stateChanged();
    showStatus(QStringLiteral("Rückgängig gemacht"));
    return true;
}

bool Editor::redo() {
    endDrawing();
    const std::optional<EditorPlace> place = history_.redo(levels(), header());
    if (!place) return false;
    count_ = place->count;
    CurrentLevel = std::clamp(place->current, 0, count_ - 1);
    selectLevel(CurrentLevel);
    Saved = false;
    stateChanged();
    showStatus(QStringLiteral("Wiederholt"));
    return true;
}

void Editor::showStatus(const QString& text) { Status->setText(text); }

void Editor::showCellStatus(int x, int y) {
    const int code = level().cell(x, y);
    showStatus(QStringLiteral("Feld (%1, %2): %3").arg(x).arg(y).arg(toQt(elementName(code))));
}

bool Editor::askToSave() {
    if (Saved) return true;
    switch (askQuestion(this, SaveQuestion, QuestionButtons::YesNoCancel)) {
        case Answer::Cancel:
            return false;
        case Answer::Yes:
            // Only a save that succeeded lets the work go.
            return saveToOwnFile();
        case Answer::No:
            return true;
    }
    return false;
}

void Editor::reject() {
    if (closing_) return;
    closing_ = true;
    const bool close = askToSave();
    closing_ = false;
    if (!close) return;
    removeRecoveryCopy();  // a clean close: the work is saved or given up
    QDialog::reject();
}

void Editor::keyPressEvent(QKeyEvent* e) {
    // Escape takes a shown solution away, else stops a long check; it never closes the
    // editor, which closes by its close box, with the question.
    if (e->key() == Qt::Key_Escape) {
        if (placementShown_)
            hidePlacement();
        else
            liveCheck_->cancel();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace lumor
