// The two releases built from this tree: the game as it is now, and its earlier release,
// which differs in a short list of rules. Every place that differs reads its rule here;
// there are no copied files. Each program fixes its edition first thing in main() (the
// earlier one is built with LUMOR_EARLIER_RELEASE); the tests switch it to test both.
#pragma once

#include <cstdint>

namespace lumor {

enum class Edition { Main, Earlier };

struct EditionRules {
    Edition edition;

    // Option switches kept in Config.cfg and shown in the title menu: the earlier release
    // has no OptResetAfterFailure (the last option) and always sets the board back.
    int optionCount;
    bool alwaysResetAfterFailure;

    // The beam run: the messages at its end (UTF-8) and the length of a waited sub-step.
    const char* victoryMessage;
    const char* failureMessage;
    int subStepMs;

    // Sparks: how many the beam engine asks for at the events that differ, the bursts of
    // the final fireworks, and whether each of Addpartikel's rounds is a small block of pure
    // red sparks around one point, flying together.
    int sandSparks;
    int stopSparks;  // a beam stopped or leaving the board
    int targetSparks;
    int fireworkSparks;
    bool redSparkBlocks;

    // The board window: Aufbau paints the level as the pack stores it (else the saved
    // record, which after a failure may hold the player's pieces); "Noch mal" refills the
    // stock counts (else only the board); the pen colour left behind by the position frame
    // (red + 256 * green + 65536 * blue).
    bool aufbauPaintsStored;
    bool retryRefillsStock;
    int32_t penAfterFrame;

    // The title menu.
    const char* passwordPrompt;  // UTF-8
    bool windowShadow;

    // The solution finder: the older search with its own progress and result lines.
    bool olderFinder;
};

inline constexpr EditionRules MainRules{
    .edition = Edition::Main,
    .optionCount = 9,
    .alwaysResetAfterFailure = false,
    .victoryMessage = "Sieg!",
    .failureMessage = "Fehlschlag!",
    .subStepMs = 12,
    .sandSparks = 10,
    .stopSparks = 50,
    .targetSparks = 100,
    .fireworkSparks = 100,
    .redSparkBlocks = false,
    .aufbauPaintsStored = false,
    .retryRefillsStock = true,
    .penAfterFrame = 255 + 256 * 255,
    .passwordPrompt = "Bitte geben sie das Passwort ein:",
    .windowShadow = true,
    .olderFinder = false,
};

inline constexpr EditionRules EarlierRules{
    .edition = Edition::Earlier,
    .optionCount = 8,
    .alwaysResetAfterFailure = true,
    .victoryMessage = "Glück gehabt!",
    .failureMessage = "hehehe...",
    .subStepMs = 18,
    .sandSparks = 1,
    .stopSparks = 2,
    .targetSparks = 5,
    .fireworkSparks = 5,
    .redSparkBlocks = true,
    .aufbauPaintsStored = true,
    .retryRefillsStock = false,
    .penAfterFrame = 192 + 256 * 64,
    .passwordPrompt =
        "Du willst zurück in die Lumorwelt??? So nenne mir das Passwort, Sterblicher...",
    .windowShadow = false,
    .olderFinder = true,
};

// The rules of the running program's edition (the main one unless set).
const EditionRules& edition();
void setEdition(Edition e);

}  // namespace lumor
