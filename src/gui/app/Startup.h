// The entry routine: single instance, random seed, program folder, write test, folders,
// default skin, then the title menu.
#pragma once

#include "app/instancelock.h"

#include <QString>

#include <functional>

class QApplication;

namespace lumor {

// Runs the program and returns its exit code. `showTitle` shows the title menu (not
// modally) and returns; the program then lives in the application's event loop until
// it quits. `programFolder` overrides the executable's folder (tests).
// A second instance of the same user for the same program folder returns 0 at once,
// silently; a lock that cannot be taken for another reason is explained in a message
// box, and the program ends with 1.
int runProgram(QApplication& app, const std::function<void()>& showTitle = {},
               const QString& programFolder = {});

// The executable's folder.
QString executableFolder();

// The user's runtime folder, where the instance locks live (empty when there is none).
QString runtimeFolder();

// The lock that keeps a second instance of the program in `folder` from starting, held
// for as long as the returned object lives (InstanceLock). Without a runtime folder fit
// for locks the program starts unguarded rather than let others keep it from starting.
InstanceLock lockProgramFolder(const QString& folder);

// Why the lock could not be taken, in German, for the message box.
QString lockFailureMessage(const InstanceLock& lock);

// Everything the start does before the title menu: seeds programRandom() from the clock,
// then prepareProgramFolder().
void prepareProgram(const QString& folder);

}  // namespace lumor
