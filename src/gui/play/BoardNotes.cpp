#include "play/BoardNotes.h"

#include "levels/levelsource.h"
#include "play/cells.h"
#include "title/seennotes.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>

namespace lumor {

namespace {

constexpr int LineShownMs = 4000;

// A piece by its name and what it does, as the rules page says it.
QString pieceText(int slot) {
    const int code = codeOfSlot(slot);
    switch (code) {
        case Wall:
            return QStringLiteral("<b>Wand</b> (hält den Strahl auf)");
        case Cross:
            return QStringLiteral("<b>Kreuz</b> (Strahlen kreuzen sich hier)");
        case Sand:
            return QStringLiteral("<b>Sand</b> (hält den Strahl einen Schritt auf)");
        case Splitter:
            return QStringLiteral("<b>Teiler</b> (teilt den Strahl in zwei)");
        case DeflectorRightDown:
        case DeflectorLeftDown:
        case DeflectorLeftUp:
        case DeflectorRightUp: {
            static const char* const sides[] = {"rechts und unten", "links und unten",
                                                "links und oben", "rechts und oben"};
            return QStringLiteral("<b>Umlenker %1</b> (verbindet %2)")
                .arg(QString::fromStdString(sourceCharOf(code)),
                     QString::fromUtf8(sides[code - DeflectorRightDown]));
        }
        default:
            return {};
    }
}

bool hasInnerStar(const LevelRecord& record) {
    for (int y = 1; y < BoardHeight - 1; ++y)
        for (int x = 1; x < BoardWidth - 1; ++x)
            if (isDecoration(record.cell(x, y))) return true;
    return false;
}

// What the note would hide in rows [from, to): a source or a target weighs most, a star
// nothing.
int hiddenWeight(const LevelRecord& record, int from, int to) {
    int n = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < BoardWidth; ++x) {
            const int code = record.cell(x, y);
            n += isSource(code) || isTarget(code) ? 10 : code != Empty && !isDecoration(code);
        }
    return n;
}

}  // namespace

BoardNotes::BoardNotes(QWidget* window, QWidget* board, QWidget* leftButton, QWidget* rightButton)
    : QObject(window), window_(window), board_(board), left_(leftButton), right_(rightButton) {
    line_ = new QLabel(window);
    line_->setObjectName(QStringLiteral("Hinweiszeile"));
    line_->setAlignment(Qt::AlignCenter);
    line_->setWordWrap(true);
    // Dark, as the title menu's panels, so it reads on a light window and a dark one.
    line_->setStyleSheet(
        QStringLiteral("QLabel { background: #12284d; color: #ffe680;"
                       " border: 1px solid #3a66a8; border-radius: 4px; }"));
    line_->hide();
    lineTimer_ = new QTimer(this);
    lineTimer_->setSingleShot(true);
    lineTimer_->setInterval(LineShownMs);
    connect(lineTimer_, &QTimer::timeout, this, [this] { clicked(Refusal::None); });

    note_ = new QLabel(board);
    note_->setObjectName(QStringLiteral("Hinweis"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::RichText);
    note_->setCursor(Qt::PointingHandCursor);
    note_->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(6, 12, 28, 235); color: #e8f2ff; border: 1px solid #3a66a8;"
        " border-radius: 8px; padding: 8px 12px; font-size: 10pt; }"));
    note_->hide();

    window->installEventFilter(this);
    board->installEventFilter(this);
    note_->installEventFilter(this);
    if (left_) left_->installEventFilter(this);
    if (right_) right_->installEventFilter(this);
    placeLine();
}

// --- The line ------------------------------------------------------------------------------

QString BoardNotes::reasonText(Refusal why) {
    switch (why) {
        case Refusal::None:
            return {};
        case Refusal::NoPiece:
            return QStringLiteral("Wähle zuerst oben einen Stein.");
        case Refusal::Star:
            return QStringLiteral("Auf einem Stern liegt kein Stein – der Strahl läuft darüber.");
        case Refusal::Wall:
            return QStringLiteral("Die Wand gehört zum Level.");
        case Refusal::Source:
            return QStringLiteral("Hier beginnt ein Strahl: die Quelle bleibt frei.");
        case Refusal::Target:
            return QStringLiteral("Ein Ziel nimmt keinen Stein, nur einen Strahl.");
        case Refusal::LevelPiece:
            return QStringLiteral("Dieser Stein gehört zum Level und bleibt liegen.");
        case Refusal::OwnPiece:
            return QStringLiteral(
                "Hier liegt schon dein Stein – ein Rechtsklick nimmt ihn zurück.");
        case Refusal::SlotEmpty:
            return QStringLiteral("Von diesem Stein ist keiner mehr übrig.");
        case Refusal::TotalUsed:
            return QStringLiteral("Gesamt ist 0: mehr Steine darfst du nicht setzen.");
    }
    return {};
}

void BoardNotes::clicked(Refusal why) {
    line_->setText(reasonText(why));
    line_->setVisible(why != Refusal::None);
    if (why == Refusal::None)
        lineTimer_->stop();
    else
        lineTimer_->start();
}

QString BoardNotes::line() const { return line_->text(); }

void BoardNotes::placeLine() {
    // Between the two buttons, whatever size the window has.
    if (!left_ || !right_) return;
    const QRect l = left_->geometry(), r = right_->geometry();
    const int x = l.right() + 8, width = r.left() - 8 - x;
    line_->setGeometry(x, l.top() - 2, std::max(width, 0), l.height() + 4);
    QFont f = window_->font();
    f.setPointSize(std::max(f.pointSize(), 8));
    line_->setFont(f);
}

// --- The note ------------------------------------------------------------------------------

void BoardNotes::setFirstLevels(const std::string& folder, const std::string& packFile, int count) {
    folder_ = folder;
    packFile_ = packFile;
    noteLevels_ = count;
}

QString BoardNotes::noteText(const LevelRecord& record) {
    QStringList pieces;
    int total = 0;
    for (int s = 1; s <= SlotCount; ++s) {
        const int n = record.Stock[static_cast<size_t>(s)];
        if (n <= 0) continue;
        total += n;
        pieces << (n > 1 ? QStringLiteral("%1 × ").arg(n) : QString()) + pieceText(s);
    }
    if (pieces.isEmpty()) return {};
    const bool one = total == 1 || record.Stock[0] == 1;
    QString text =
        (pieces.size() == 1 ? QStringLiteral("Dein Stein: ") : QStringLiteral("Deine Steine: ")) +
        pieces.join(QStringLiteral(", ")) + QStringLiteral(".<br>");
    text += one ? QStringLiteral("Klicke ihn oben im Vorrat an, dann ein leeres Feld, ")
                : QStringLiteral("Klicke einen oben im Vorrat an, dann ein leeres Feld, ");
    int targets = 0;
    for (int16_t code : record.Cells) targets += isTarget(code);
    text += targets > 1 ? QStringLiteral("so dass die Strahlen die Ziele treffen. Dann „Start“.")
                        : QStringLiteral("so dass der Strahl ins Ziel läuft. Dann „Start“.");
    if (hasInnerStar(record))
        text += QStringLiteral("<br>Über Sterne läuft der Strahl hinweg; dort liegt kein Stein.");
    text += QStringLiteral("<br><i>Ein Klick schließt diesen Hinweis.</i>");
    return text;
}

void BoardNotes::levelBuilt(int level, const LevelRecord& record) {
    hideNote();
    if (level < 0 || level >= noteLevels_ || packFile_.empty()) return;
    SeenNotes seen(folder_);
    const std::string key = SeenNotes::keyOf(packFile_, level);
    if (seen.seen(key)) return;
    const QString text = noteText(record);
    if (text.isEmpty()) return;
    seen.markSeen(key);
    // Three rows inside the border, above or below, whichever hides less.
    noteAtTop_ =
        hiddenWeight(record, 1, 4) < hiddenWeight(record, BoardHeight - 4, BoardHeight - 1);
    note_->setText(text);
    placeNote();
    note_->show();
    note_->raise();
}

void BoardNotes::hideNote() {
    note_->hide();
    note_->clear();
}

QString BoardNotes::note() const { return note_->isVisible() ? note_->text() : QString(); }

void BoardNotes::placeNote() {
    const int width = board_->width() * 3 / 4;
    const int height = note_->heightForWidth(width);
    const int margin = board_->height() / 12;  // a row of cells
    const int y = noteAtTop_ ? margin : board_->height() - margin - height;
    note_->setGeometry((board_->width() - width) / 2, y, width, height);
}

bool BoardNotes::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == note_ && type == QEvent::MouseButtonPress) {
        hideNote();
        return true;  // the click was for the note, not for the cell beneath
    }
    if (watched == board_ && type == QEvent::MouseButtonPress) hideNote();
    if ((type == QEvent::Resize || type == QEvent::Move) && watched != note_) {
        placeLine();
        if (note_->isVisible()) placeNote();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lumor
