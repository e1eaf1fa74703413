// The level designers' lint: the measurements of every level of some packs, the pairs of
// levels whose boards are close, each pack's rise in difficulty, and the rules a level
// breaks. A rule comes from the command line (LintRules) or from what a level source
// declares (LevelIntent, "Schwerer als"); a declaration is checked against the facts and
// replaces the default it departs from.
#pragma once

#include "levels/level.h"
#include "levels/levelsource.h"
#include "solver/analysis.h"
#include "solver/modelplayer.h"

#include <optional>
#include <string>
#include <vector>

namespace lumor {

struct LintLevel {
    LevelRecord record;
    LevelIntent intent;
    std::string reason;  // UTF-8
    std::optional<int> bestLeft;
    std::optional<std::vector<SourcePiece>> solution;
    int line = 0;  // of "Level:" in a source; 0 for a pack file
};

struct LintPack {
    std::string file;   // as named on the command line
    std::string title;  // Windows-1252: the pack's title, else the file's name
    // UTF-8 title of a pack this one is meant to be harder than: each level of its second
    // half harder than the other pack's level at the same share of the pack.
    std::string harderThan;
    std::vector<LintLevel> levels;
};

// The rules given on the command line. strict() is what every shipped level keeps.
struct LintRules {
    bool solvable = false;             // solvable within the allowance, not by the bare board
    bool exactAllowance = false;       // the allowance is the fewest pieces that win
    std::optional<int> maxPlacements;  // at most this many distinct minimal placements
    bool noDecoys = false;             // every stocked kind is used by a minimal placement
    bool noOpeningSpares = false;      // spare pieces open no new winning placements
    std::optional<int> minDistance;    // two boards differ in at least this many cells
    bool rising = false;               // each pack's difficulty rises on the whole
    // Every level after the first has a password of its own: the title menu finds the
    // first level with the typed password (letter case aside), so a later level sharing it,
    // or one without a password, is reached by no password.
    bool ownPasswords = false;
    bool noIdeaRepeats = false;  // no two levels share a solution up to turning and moving
    static LintRules strict();
};

// Pairs of boards differing in fewer cells than this are listed (and, with a distance
// rule, checked).
inline constexpr int DefaultMinDistance = 10;
inline constexpr int DefaultMaxPlacements = 3;
// A pack rises on the whole when its levels (those not declared a lesson), by the model
// player's tries, have at least this Kendall's tau against their order.
inline constexpr double RisingTau = 0.6;

struct LintLevelReport {
    size_t pack = 0;
    int number = 0;  // 1-based
    LevelAnalysis analysis;
    PlayerTries player;  // the model player's tries; only for solvable levels
};

struct NearPair {
    size_t packA = 0, packB = 0;
    int levelA = 0, levelB = 0;  // 1-based
    int cells = 0;
};

struct PackTrend {
    int counted = 0;  // levels measured (lessons left out)
    double tau = 0;   // Kendall's tau of position against difficulty
};

struct LintFinding {
    size_t pack = 0;
    int level = 0;     // 1-based; 0 for the pack as a whole
    std::string rule;  // a short English name, for scripts
    std::string text;  // German, UTF-8
};

struct LintReport {
    std::vector<LintLevelReport> levels;  // in pack and level order
    std::vector<NearPair> pairs;
    std::vector<NearPair> ideaPairs;  // same solution up to turning and moving (cells: 0)
    std::vector<PackTrend> trends;    // per pack; empty when only one level was linted
    std::vector<LintFinding> findings;
};

// Lints the packs; `only` (1-based) restricts the measured levels to that number in each
// pack (the pairs still look at every level). Levels are measured on `threads` threads.
LintReport lintPacks(const std::vector<LintPack>& packs, const LintRules& rules, int only = 0,
                     int threads = 1);

// The rules checked over levels already measured (`levels`, in pack and level order, each
// with its analysis): what lintPacks does after measuring. The pairs and passwords are
// checked over every level of the packs; the trends only with `trends`, which needs every
// level measured.
LintReport lintMeasured(const std::vector<LintPack>& packs, const LintRules& rules,
                        std::vector<LintLevelReport> levels, int only, bool trends);

// Kendall's tau of position against the given figures: +1 for a strict rise.
double kendallTau(const std::vector<double>& figures);

}  // namespace lumor
