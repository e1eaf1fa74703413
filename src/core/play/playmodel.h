// The rules of play without a window: a pack played as a marathon from a start level,
// the live stock counts, the selected slot, placing and taking back pieces, the working
// board against the level as stored, the attempt from start to finale, "Noch mal", the
// optional reset after a failure, and the move on to the next level or the final message.
//
// The board window draws the model and feeds it the player's input; its captions and
// count labels are output of the model, never read back. Whoever shows the board window
// for one level (the editor's "Testen") or asks about a level in play goes through here.
#pragma once

#include "app/state.h"
#include "levels/level.h"
#include "play/beamrun.h"

#include <array>
#include <string>
#include <vector>

namespace lumor {

// Where an attempt stands. Intro: the level's name is being shown and the board is not
// yet the player's. Idle: pieces may be placed. Running and Paused: the beams run (or
// wait). Finale: the run has ended and its ending is being shown.
enum class AttemptPhase { Intro, Idle, Running, Paused, Finale };

// What a click on "Start" / "Stop" / "Weiter" is to do.
enum class StartAction { Start, Pause, Resume };

// What follows a won attempt.
enum class AfterVictory { NextLevel, FinalMessage, End };

class PlayModel {
public:
    // The live stock counts: 0 the total still allowed, 1..8 the slots.
    using Stock = std::array<int, SlotCount + 1>;

    using Options = std::array<bool, OptionCount>;

    // Plays `levels`, ending with `finalMessage` (none when empty), under `options`; all
    // three are read as the game goes and must outlive the model.
    PlayModel(const Levels& levels, const std::string& finalMessage, const Options& options)
        : levels_(levels), finalMessage_(finalMessage), options_(options) {}
    // The loaded pack, its final message and the options of the program.
    explicit PlayModel(const ProgramState& program)
        : PlayModel(program.pack.levels, program.FinalMessage, program.Options) {}

    // Opening the window: the level to start at, no slot selected.
    void open(int startLevel);

    // --- The level -------------------------------------------------------------------
    int level() const { return level_; }
    // The current index names a level of the pack.
    bool hasLevel() const;
    const LevelRecord& stored() const;                    // the level as the pack holds it
    const LevelRecord& saved() const { return saved_; }   // the copy being played
    const WorkingBoard& board() const { return board_; }  // what the player sees
    int cell(int x, int y) const { return board_[static_cast<size_t>(cellIndex(x, y))]; }

    // A level starts: the working board shows the stored level; its name is introduced.
    void beginLevel();
    // After the introduction: the saved record is the stored level; the counts are its
    // stock and the player may place pieces.
    void buildLevel();

    // --- Placing ---------------------------------------------------------------------
    const Stock& stock() const { return stock_; }
    int stock(int i) const { return stock_[static_cast<size_t>(i)]; }
    int selectedSlot() const { return selected_; }
    void selectSlot(int slot) { selected_ = slot; }

    struct Placed {
        bool placed = false;     // the cell now holds the selected piece
        bool autostart = false;  // OptAutostart and no piece left: start as "Start" does
    };
    // A left click on a cell.
    Placed place(int x, int y);

    struct Taken {
        bool taken = false;
        int code = Empty;  // what the cell shows now: the stored level's code
        int x = 0, y = 0;  // the cell
    };
    // A right click on a cell: only a piece the player placed is taken back, only between
    // attempts, and only with a slot selected (unless `needsSlot` is false, as for the
    // keyboard, which takes back whatever is chosen). With OptGameRightClickTakes its slot
    // becomes the selected one.
    Taken takeBack(int x, int y, bool needsSlot = true);
    // The piece the player placed last is taken back (Ctrl+Z), the one before it on the next
    // call, and so on: only between attempts, and only pieces placed since the level was
    // (re)built or the last run ended. The selection stays.
    Taken undo();

    // --- The attempt -----------------------------------------------------------------
    AttemptPhase phase() const { return phase_; }
    bool attemptRunning() const {
        return phase_ == AttemptPhase::Running || phase_ == AttemptPhase::Paused;
    }
    // BeamState of the window: its loops watch it, its clicks and close request set it.
    int BeamState = BeamRunning;

    // "Start" / "Stop" / "Weiter": which it is, with BeamState and the phase updated for
    // a pause or a resume (a start is begun by startAttempt()).
    StartAction pressStart();
    // "Noch mal" / "Abbrechen": during an attempt it cancels it (the run ends as failed).
    // Otherwise no slot is selected any more and the level is set back as stored, with the
    // full stock (the earlier release leaves the counts as they are). True when the level
    // was set back (and is to be shown again).
    bool pressRetry();

    // The start of an attempt: no slot selected, the run started on the working board with
    // the live counts (which also become the saved record's). Its output asks for sound 0.
    const StepOutput& startAttempt();
    BeamRun& run() { return run_; }
    // The run has ended (BeamState 1, 2 or 3): its ending is shown.
    void endAttempt() { phase_ = AttemptPhase::Finale; }
    // After a victory: on to the next level, or behind the last to the final message (when
    // there is one) or the end.
    AfterVictory advance();
    // After a failure: with OptResetAfterFailure (always, in the earlier release) the saved
    // record is the stored level again; the working board shows the saved record.
    void restoreAfterFailure();
    // The level is shown again after a failure: counts from the saved record, idle.
    void showAgain() { refill(); }

    bool turbo() const { return turbo_; }
    void toggleTurbo() { turbo_ = !turbo_; }

    // --- Hints -----------------------------------------------------------------------
    // The level as the player has it: the stored level with their pieces on its cells and
    // the stock still left (what a hint starts from).
    LevelRecord asPlaced() const;
    // Hints used on the current level (the caption counts them); a level begins with none.
    int hintsUsed() const { return hints_; }
    void noteHint() { ++hints_; }

private:
    const Levels& levels() const { return levels_; }
    bool opt(Option o) const { return options_[static_cast<size_t>(o)]; }
    void refill();

    const Levels& levels_;
    const std::string& finalMessage_;
    const Options& options_;
    int level_ = 0;
    LevelRecord saved_;
    WorkingBoard board_{};
    Stock stock_{};
    int selected_ = -1;
    AttemptPhase phase_ = AttemptPhase::Idle;
    bool turbo_ = false;
    int hints_ = 0;
    std::vector<int> placedOrder_;  // cell indexes of the player's pieces, oldest first
    BeamRun run_;
};

}  // namespace lumor
