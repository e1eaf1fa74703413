#include "editor/Editor.h"

#include "app/Text.h"
#include "editor/EditorPalette.h"
#include "editor/LiveCheck.h"
#include "editor/TextFields.h"
#include "editor/boardedit.h"
#include "play/Bilder.h"
#include "play/BoardView.h"
#include "play/Form1.h"
#include "play/cells.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumor {

namespace {

// Long enough that a stroke or a word is finished, short enough that little is lost.
constexpr int RecoveryDelayMs = 3000;

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

QString indexed(const char* name, int i) { return QStringLiteral("%1(%2)").arg(name).arg(i); }

}  // namespace

// The buttons in the order they stand in their groups.
std::span<const Editor::Command> Editor::commands() {
    using G = Group;
    static const Command table[] = {
        {"Command1", "Testen", &Editor::Command1_Click, "Das Level im Spielfenster ausprobieren"},
        {"Command2", "Sterne verteilen", &Editor::Command2_Click},
        {"Generate", "Generieren", &Editor::Generate_Click,
         "Füllt den Level mit einem neuen Brett und Vorrat: genau eine Lösung, geprüft"},
        {"Command5", "Neues Level einfügen", &Editor::Command5_Click, "", "", G::List, false, true},
        {"Command6", "Level anschließen", &Editor::Command6_Click, "", "", G::List, false, true},
        {"Command7", "Level löschen", &Editor::Command7_Click, "", "", G::List, true, true},
        {"Command8", "Hoch", &Editor::Command8_Click, "", "", G::List, false, true},
        {"Command9", "Runter", &Editor::Command9_Click, "", "", G::List},
        {"Command3", "Laden", &Editor::Command3_Click, "", "", G::Pack, false, true},
        {"Command4", "Speichern", &Editor::Command4_Click, "", "", G::Pack, false, true},
        {"Command10", "Pack ID ändern", &Editor::Command10_Click, "", "", G::Pack},
        {"Command11", "Importieren", &Editor::Command11_Click, "", "", G::Pack},
    };
    return table;
}

EditorSetup programEditorSetup(Clock& clock) {
    ProgramState& st = state();
    return {st.pack, st.Options, st.AppFolder, clock, {}, writePack};
}

Editor::Editor(QWidget* parent, Clock& clock) : Editor(parent, programEditorSetup(clock)) {}

Editor::Editor(QWidget* parent, EditorSetup setup)
    : QDialog(parent),
      pack_(setup.pack),
      options_(setup.options),
      folder_(std::move(setup.folder)),
      clock_(setup.clock),
      boardWindow_(std::move(setup.boardWindow)),
      writer_(std::move(setup.writer)) {
    setWindowTitle(QStringLiteral("Lumor - Editor"));
    if (!boardWindow_)
        boardWindow_ = [this](QWidget* owner, PlaySetup play) {
            Form1 board(std::move(play), owner, clock_);
            board.exec();
        };
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(RecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &Editor::saveRecoveryCopy);
    buildControls();
    Form_Load();
}

Editor::~Editor() = default;

// --- Building the window ------------------------------------------------------------------

void Editor::buildControls() {
    setMouseTracking(true);
    buildBoard();
    buildStockColumns();
    buildFields();
    buildCheckLine();
    auto* levelBox = commandGroup(QStringLiteral("Level"), Group::Level, [this] {
        auto* fields = new QGridLayout;
        fields->addWidget(new QLabel(QStringLiteral("Name:")), 0, 0);
        fields->addWidget(Levelname, 0, 1);
        fields->addWidget(new QLabel(QStringLiteral("Passwort:")), 1, 0);
        fields->addWidget(Passw, 1, 1);
        return fields;
    }());
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(List1);
    auto* listBox = commandGroup(QStringLiteral("Levelliste"), Group::List, listColumn);
    auto* packBox = commandGroup(QStringLiteral("Levelpack"), Group::Pack);
    layOut(stockGroup(), levelBox, listBox, packBox);
    connectKeys();
}

void Editor::buildBoard() {
    Feld = new BoardView(this);
    Feld->setObjectName(QStringLiteral("Feld"));
    Feld->setCursor(Qt::CrossCursor);
    Feld->onPress = [this](Qt::MouseButton b, const QPointF& p) {
        Feld_MouseDown(b, p.x(), p.y());
    };
    Feld->onMove = [this](const QPointF& p) { Feld_MouseMove(p.x(), p.y()); };
    Feld->onRelease = [this](Qt::MouseButton, const QPointF&) { Feld_MouseUp(); };
    Symbol = new EditorPalette(this);
    Symbol->setObjectName(QStringLiteral("Symbol"));
    Symbol->onPress = [this](int x, int y) { Symbol_MouseDown(x, y); };
    Symbol->onHover = [this](int code) {
        showStatus(code < 0 ? QString()
                            : QStringLiteral("Palette: %1").arg(toQt(paletteName(code))));
    };
}

// Each stock slot: its picture, its bar and its count, the bar and the box following each
// other.
void Editor::buildStockColumns() {
    for (int i = 0; i <= 8; ++i) {
        const auto s = static_cast<size_t>(i);
        Image1[s] = new TileImage(this);
        Image1[s]->setObjectName(indexed("Image1", i));
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(indexed("VS", i));
        bar->setRange(0, barMaximum(i));
        bar->setPageStep(i == 0 ? 10 : 5);
        bar->setFixedHeight(96);
        VS[s] = bar;
        auto* text = new QLineEdit(this);
        text->setObjectName(indexed("Text1", i));
        text->setFixedWidth(40);
        text->setAlignment(Qt::AlignCenter);
        text->setValidator(new CountValidator(0, barMaximum(i), text));
        text->setToolTip(
            QStringLiteral("Eine Zahl von 0 bis %1; der Balken folgt").arg(barMaximum(i)));
        text->installEventFilter(this);  // the editor's own undo
        Text1[s] = text;
        connect(bar, &QScrollBar::valueChanged, this, [this, i] { VS_Change(i); });
        connect(text, &QLineEdit::textEdited, this, [this, i] { Text1_Change(i); });
        // Left empty, the box shows the count again.
        connect(text, &QLineEdit::editingFinished, this,
                [this, s, text] { text->setText(QString::number(level().Stock[s])); });
    }
    Image1[0]->setToolTip(QStringLiteral("Das gewählte Element"));
}

void Editor::buildFields() {
    Levelname = new QLineEdit(this);
    Levelname->setObjectName(QStringLiteral("Levelname"));
    Passw = new QLineEdit(this);
    Passw->setObjectName(QStringLiteral("Passw"));
    auto* storable = new StorableText(this);
    for (QLineEdit* box : {Levelname, Passw}) {
        box->setValidator(storable);
        box->installEventFilter(this);  // the editor's own undo, also while typing
        connect(box, &QLineEdit::inputRejected, this, [this] {
            showStatus(QStringLiteral("Dieses Zeichen kann ein Levelpack nicht speichern."));
        });
    }
    connect(Levelname, &QLineEdit::textChanged, this, &Editor::Levelname_Change);
    connect(Passw, &QLineEdit::textChanged, this, &Editor::Passw_Change);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMinimumWidth(230);
    // The markers of the rules a level breaks fit the line, so every entry is as high.
    const int line = List1->fontMetrics().height();
    List1->setIconSize(QSize(line, line));
    List1->setToolTip(QStringLiteral("Rückgängig: Strg+Z, Wiederholen: Strg+Y"));
    List1->viewport()->setMouseTracking(true);
    List1->viewport()->installEventFilter(this);  // moving over it ends a stroke
    connect(List1, &QListWidget::currentRowChanged, this, &Editor::List1_Click);
}

void Editor::buildCheckLine() {
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setMinimumWidth(300);
    // A long pack or level name is cut off rather than widening the window.
    Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Status->setMouseTracking(true);
    CheckLine = new QLabel(this);
    CheckLine->setObjectName(QStringLiteral("CheckLine"));
    CheckLine->setToolTip(
        QStringLiteral("Strg+L zeigt eine Lösung mit den wenigsten Steinen, bis zum nächsten "
                       "Klick; nochmals Strg+L die nächste"));
    CheckCancel = new QToolButton(this);
    CheckCancel->setObjectName(QStringLiteral("CheckCancel"));
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
}

QPushButton* Editor::buildCommand(const Command& c) {
    auto* b = new QPushButton(QString::fromUtf8(c.caption), this);
    b->setObjectName(QString::fromLatin1(c.name));
    b->setAutoDefault(false);
    if (*c.tooltip) b->setToolTip(QString::fromUtf8(c.tooltip));
    if (*c.shortcut) b->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
    if (c.endsStroke) {
        b->setMouseTracking(true);
        b->installEventFilter(this);
    }
    connect(b, &QPushButton::clicked, this, c.handler);
    return b;
}

// A group box: what stands `above`, then the group's buttons from the table.
QGroupBox* Editor::commandGroup(const QString& title, Group group, QLayout* above) {
    auto* box = new QGroupBox(title, this);
    box->setMouseTracking(true);
    auto* column = new QVBoxLayout(box);
    if (above) column->addLayout(above, 1);
    auto* grid = new QGridLayout;
    int row = 0, col = 0;
    for (const Command& c : commands()) {
        if (c.group != group) continue;
        if (c.wide && col > 0) ++row, col = 0;
        grid->addWidget(buildCommand(c), row, col, 1, c.wide ? 2 : 1);
        col = c.wide ? 2 : col + 1;
        if (col == 2) ++row, col = 0;
    }
    column->addLayout(grid);
    return box;
}

QGroupBox* Editor::stockGroup() {
    auto* stock = new QGroupBox(QStringLiteral("Vorrat"), this);
    stock->setMouseTracking(true);
    auto* grid = new QGridLayout(stock);
    auto* total = new QLabel(QStringLiteral("Gesamt erlaubt:"), stock);
    total->setAlignment(Qt::AlignCenter);
    total->setWordWrap(true);
    total->setFixedSize(72, 34);
    total->setMouseTracking(true);
    grid->addWidget(total, 0, 0, Qt::AlignCenter);
    for (int i = 0; i <= 8; ++i) {
        const auto s = static_cast<size_t>(i);
        if (i > 0) {
            grid->addWidget(Image1[s], 0, i, Qt::AlignCenter);
            Image1[s]->setToolTip(toQt(elementName(codeOfSlot(i))));
        }
        grid->addWidget(VS[s], 1, i, Qt::AlignCenter);
        grid->addWidget(Text1[s], 2, i, Qt::AlignCenter);
    }
    return stock;
}

// Board on the left with the palette beside it, the stock underneath, the status line
// at the bottom; the level, the level list and the pack on the right.
void Editor::layOut(QWidget* stock, QWidget* levelBox, QWidget* listBox, QWidget* packBox) {
    auto* selected = new QLabel(QStringLiteral("Gewählt:"), this);
    selected->setMouseTracking(true);
    auto* paletteColumn = new QVBoxLayout;
    paletteColumn->addWidget(Symbol);
    paletteColumn->addSpacing(6);
    paletteColumn->addWidget(selected, 0, Qt::AlignHCenter);
    paletteColumn->addWidget(Image1[0], 0, Qt::AlignHCenter);
    paletteColumn->addStretch(1);
    auto* boardRow = new QHBoxLayout;
    boardRow->addWidget(Feld, 0, Qt::AlignTop);
    boardRow->addLayout(paletteColumn);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(Status, 1);
    statusRow->addWidget(CheckLine, 0, Qt::AlignRight);
    statusRow->addWidget(CheckCancel, 0, Qt::AlignRight);
    auto* left = new QVBoxLayout;
    left->addLayout(boardRow);
    left->addWidget(stock);
    left->addLayout(statusRow);
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
}

void Editor::connectKeys() {
    const auto key = [this](const char* keys, auto slot) {
        connect(new QShortcut(QKeySequence(QString::fromLatin1(keys)), this), &QShortcut::activated,
                this, slot);
    };
    key("Ctrl+Z", &Editor::undo);
    key("Ctrl+Y", &Editor::redo);
    key("Ctrl+Shift+Z", &Editor::redo);
    key("Ctrl+L", &Editor::showPlacement);
    key("Ctrl+S", &Editor::saveToOwnFile);
}

// --- Starting and showing -----------------------------------------------------------------

LevelRecord& Editor::level() { return levels()[CurrentLevel]; }

// The window's start: an empty first level; the other records keep what they held.
void Editor::Form_Load() {
    header() = PackHeader{};
    for (int s = 1; s <= 8; ++s)
        Image1[static_cast<size_t>(s)]->setPicture(bilder().tile(codeOfSlot(s)));
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
        const auto s = static_cast<size_t>(i);
        VS[s]->setValue(barValue(i, l.Stock[s]));
        // The true number, also where the bar can only show its end.
        Text1[s]->setText(QString::number(l.Stock[s]));
    }
    Levelname->setText(toQt(l.Name));
    Passw->setText(toQt(l.Password));
    filling_ = false;
    placementShown_ = false;
    checkLevel();
}

void Editor::showStatus(const QString& text) { Status->setText(text); }

void Editor::showCellStatus(int x, int y) {
    const int code = level().cell(x, y);
    showStatus(QStringLiteral("Feld (%1, %2): %3").arg(x).arg(y).arg(toQt(elementName(code))));
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
