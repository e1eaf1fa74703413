// The editor's live check: its answer for the board's level, the solutions it found drawn
// over the board, and the rules each level of the list breaks.
#include "app/Text.h"
#include "editor/Editor.h"
#include "editor/LiveCheck.h"
#include "editor/TextFields.h"
#include "editor/levellist.h"
#include "editor/packlint.h"
#include "play/Bilder.h"
#include "play/BoardView.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QTimer>

namespace lumor {

namespace {

// While a solution is shown, a press anywhere in the editor takes it away first (on the
// board the press does nothing else; Feld_MouseDown sees to that).
class PlacementClicks final : public QObject {
public:
    PlacementClicks(Editor* editor, QWidget* board)
        : QObject(editor), editor_(editor), board_(board) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress) return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == editor_ && w != board_) editor_->hidePlacementShown();
        return false;
    }

private:
    Editor* editor_;
    QWidget* board_;
};

}  // namespace

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
            p.drawImage(32 * piece.x, 32 * piece.y, bilder().tile(codeOfSlot(piece.slot)));
            p.setOpacity(1);
            p.setPen(outline);
            p.drawRect(32 * piece.x + 1, 32 * piece.y + 1, 29, 29);
        }
    }
    Feld->changedAll();
    if (!placementShown_) {
        placementShown_ = true;
        if (!clicks_) clicks_ = new PlacementClicks(this, Feld);
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
        title =
            fromQt(QFileInfo(fileNameToQt(fileNameOf(packPath_))).completeBaseName()).value_or("");
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

}  // namespace lumor
