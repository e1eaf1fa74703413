// The board window: plays the pack it is handed as a marathon from its start level, with
// the stock, the board, the beam run, the messages and the music.
//
// Long procedures (the level intro in Timer2, the run in Timer1, Message, Sieg) wait
// while handling window events. A close request never destroys the window under them:
// it sets BeamState = 2, the procedure notices and unwinds, and only then does the
// window close.
#pragma once

#include "app/Wait.h"
#include "play/BoardView.h"
#include "play/PlaySetup.h"
#include "play/StockImage.h"
#include "play/boardlayout.h"
#include "play/hint.h"
#include "play/hintsource.h"
#include "play/playmodel.h"

#include <QDialog>
#include <QFuture>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTimer;
template <typename T>
class QFutureWatcher;

namespace lumor {

class BoardNotes;
class BoardParticles;

class Form1 : public QDialog {
    Q_OBJECT

public:
    // Plays `setup`; every wait of the window (fades, the beam run, the finales) is on
    // `clock`, every sound and song goes to `audio`.
    Form1(PlaySetup setup, QWidget* parent, Clock& clock = lumor::clock(),
          PlayAudio audio = PlayAudio::speakers());
    // Plays the loaded pack from the start level in Handover, as the program stands now.
    explicit Form1(QWidget* parent = nullptr, Clock& clock = lumor::clock());
    ~Form1() override;

    // The rules of play, which the window draws and feeds with the player's input.
    const PlayModel& model() const { return model_; }
    // The pack being played.
    const Pack& pack() const { return setup_.pack; }

    // The controls a player uses: "Start" / "Stop" / "Weiter", "Nächste Musik",
    // "Noch mal" / "Abbrechen", the turbo; the stock slots 1..8 and their counts (0 the
    // total); the board.
    QPushButton* startButton() const { return Command1; }
    QPushButton* musicButton() const { return Command2; }
    QPushButton* retryButton() const { return Command3; }
    QPushButton* turboButton() const { return Command4; }
    StockImage* stockImage(int slot) const { return Image1.at(static_cast<size_t>(slot)); }
    QLabel* stockCount(int i) const { return Anzahl.at(static_cast<size_t>(i)); }
    BoardView* boardView() const { return Feld; }
    // Why a click placed nothing, and the first levels' notes.
    BoardNotes* notes() const { return notes_; }

    // The keys of the board (Form1Keys.cpp): the arrows move a cell cursor, drawn as the
    // position frame; 1 to 8 choose a stock slot; Space or Enter places the chosen piece on
    // the cursor's cell or takes the player's piece there back; S is the "Start" button;
    // Ctrl+Z takes back the last piece placed since the run; F11 switches full screen on
    // and off. The keys reach the window only while it has the focus, never through a
    // message or input box in front of it.
    static constexpr int FullScreenKey = Qt::Key_F11;
    // Where the parts of the window are at its present size.
    const BoardLayout& layout() const { return layout_; }
    // The cell cursor's cell while the keys show it.
    std::optional<BoardLayout::Cell> cursor() const;

    // Read-only views for tests and measurement.
    const QString& messageText() const { return messageText_; }
    bool positionFrameOn() const { return posFrame_; }
    const QColor& penColour() const { return pen_; }
    int musicIndex() const { return musicIndex_; }
    bool running() const { return busy_ > 0; }
    // A level is about to begin (its introduction is queued).
    bool levelQueued() const;
    // Nothing of the window is scheduled any more: no run, level start or song watch.
    bool timersStopped() const;
    // Called with the index of every level that begins (the title menu keeps progress).
    std::function<void(int level)> onLevelStart;
    // Called with the index of every level won, before its finale (so quitting then keeps it).
    std::function<void(int level)> onLevelWon;
    // Called with every text that Message or Sieg shows.
    std::function<void(const QString&)> onMessage;
    // Called after every cell step of a run (measurement).
    std::function<void()> onCellStep;

    // Event procedures, also called by tests in place of a click; X and Y in board pixels.
    void Image1_Click(int Index);
    void Feld_MouseDown(Qt::MouseButton Button, qreal X, qreal Y);
    void Feld_MouseMove(qreal X, qreal Y);
    // The position frame on cell (x, y), and taken away again.
    void ErstellePosFeld(int x, int y);
    void LöschPosFeld();

    // The hint key (T, for "Tipp"): between attempts, one cell of a best solution is
    // marked with the piece that belongs there for two seconds; nothing is placed. The
    // level's answer is searched beside the window from the level's start, and every
    // board's hint is kept: a press on a board answered before is answered at once. Each
    // board the player makes between attempts is searched beside the game too, so a press
    // after a moment's thought is answered at once. A search's answer counts only if the
    // board is unchanged.
    static constexpr int HintKey = Qt::Key_T;
    static constexpr int HintShownMs = 2000;
    static constexpr std::chrono::seconds HintSearchLimit{20};
    void Tipp();
    // The hint on the board now, and the last answer of the search (any kind).
    const std::optional<Hint>& hintShown() const { return hint_; }
    const std::optional<Hint>& lastHint() const { return lastHint_; }
    bool hintSearching() const;
    // The board as it stands is being searched ahead of a press.
    bool foreseeing() const { return foreseen_.isRunning(); }
    // Searches run for this level's hints (the level's and each board's).
    int hintSearches() const { return hints_ ? hints_->searches() : 0; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    struct Busy;

    void buildControls();
    void buildStock();
    void Form_Load();
    bool opt(Option o) const { return setup_.options[static_cast<size_t>(o)]; }
    // Board procedures.
    void Aufbau();
    void Feld_Paint();
    // Flow procedures.
    void CaptionUpdate();
    void Message(const QString& Text, bool Kontrollszeigen);
    void Sieg();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // The run of an attempt: its start, one cell step with its sub-steps (false when the
    // run has ended), and what each step asks for beside drawing.
    void beginRun();
    bool runCell(int64_t& nextFrame);
    void sound(const StepOutput& step);
    // The end of an attempt with BeamState 1, 2 or 3.
    void endOfAttempt();
    // Up to `frames` particle frames, 18 ms apart; false when the window is being closed.
    bool finale(int frames);
    // The unload of the window: at once when no procedure is running, else as soon as
    // the last one has unwound.
    void Unload();
    void finishUnload();

    // The buttons, the counts and the stock frames as the model stands.
    void showButtons();
    void showCounts();
    void showSelection();
    void showStock(bool visible);
    // Placing and taking back on a cell (x, y) of the board, by click or key.
    void placeOn(int x, int y);
    bool takeBackFrom(int x, int y, bool needsSlot);
    // The window's size (Form1Keys.cpp): the controls placed for it, the one remembered
    // restored and saved, full screen.
    void rememberLayout();
    void placeControls();
    void restoreSize();
    void rememberSize();
    void toggleFullScreen();
    // The keys (Form1Keys.cpp).
    bool boardKey(const QKeyEvent& e);
    bool boardOpen() const;
    // The frame is on the board: following the mouse, or as the keys' cursor.
    bool frameOn() const { return posFrame_ || (keyCursor_ && boardOpen()); }
    void moveCursor(int dx, int dy);
    void pressOnCursor();
    void undoPiece();
    void redrawFrame(int x, int y);
    // Drawing on the board picture.
    QFont fontForText(const QString& text) const;
    void printCentred(const QString& text, const QColor& colour);
    void beginMessage(const QString& text);
    void fadeText(const QString& text, int from, int to, int step);
    void BewegPartikel();
    // The hint: shown when the search answers, drawn over its cell, taken away after two
    // seconds (repainting the cell) or dropped when the board is redrawn anyway.
    void answerHint(const Hint& h);
    void drawHint();
    void endHint(bool repaint);

    // Controls, under their designer names.
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 9> Anzahl{};
    std::array<StockImage*, 9> Image1{};  // 1..8; index 0 unused
    BoardView* Feld = nullptr;
    QPushButton* Command1 = nullptr;  // "Start" / "Stop" / "Weiter"
    QPushButton* Command2 = nullptr;  // "Nächste Musik"
    QPushButton* Command3 = nullptr;  // "Noch mal" / "Abbrechen"
    QPushButton* Command4 = nullptr;  // turbo
    QTimer* Timer1 = nullptr;         // the beam run
    QTimer* Timer2 = nullptr;         // starts a level
    QTimer* Timer3 = nullptr;         // watches the song

    Clock& clock_;
    PlayAudio audio_;
    const PlaySetup setup_;
    PlayModel model_;
    int busy_ = 0;                // long procedures on the stack
    bool unloadPending_ = false;  // the window closes when they have unwound
    bool unloaded_ = false;
    bool loaded_ = false;

    QString messageText_;
    QFont messageFont_;
    QColor pen_{255, 255, 0};
    bool posFrame_ = false;
    std::optional<int> PosX;  // empty until the first frame is drawn
    int PosY = 0;
    bool keyCursor_ = false;  // the keys have shown the frame as their cursor

    BoardLayout layout_;
    // The controls above and below the board with their place in the 642 x 468 layout.
    struct Placed {
        QWidget* control;
        QRect base;
        bool below;
    };
    std::vector<Placed> placed_;
    BoardWindowSize sizeLoaded_;
    QSize normalSize_;                     // the last size as a normal window
    Qt::WindowStates beforeFullScreen_{};  // maximised or not
    std::vector<std::string> music_;
    int musicIndex_ = 0;
    std::unique_ptr<BoardParticles> particles_;
    BoardNotes* notes_ = nullptr;

    void prepareHints();
    // The hint search for `current` on the pool; stops when its future is cancelled.
    QFuture<Hint> searchHint(const LevelRecord& current);
    // The board as it now stands searched ahead of a press; the one before is stopped.
    void foreseeHint();
    void stopForesight();
    QFuture<Hint> foreseen_;
    LevelRecord foreseenBoard_;
    std::shared_ptr<HintSource> hints_;  // of the level being played
    QFutureWatcher<Hint>* hintSearch_ = nullptr;
    LevelRecord hintAskedFor_;  // the board and stock the search was asked about
    std::optional<Hint> hint_;
    std::optional<Hint> lastHint_;
    int64_t hintUntil_ = 0;
    QTimer* hintTimer_ = nullptr;
};

}  // namespace lumor
