// The entry routine: single instance, random seed, program folder, write test, folders,
// default skin, then the title menu.
#pragma once

#include "app/instancelock.h"

#include <QString>

#include <functional>
#include <string>

class QApplication;

namespace lumor {

// Runs the program and returns its exit code. `showTitle` shows the title menu (not
// modally) and returns; the program then lives in the application's event loop until
// it quits. `programFolder` (bytes, as every path) overrides the executable's folder
// (tests); without it, a system that does not tell the executable's folder gets a message
// box and the exit code 1, never a start in the working folder.
// A second instance of the same user for the same program folder asks the running one to
// bring its window to the front (RaiseListener) and returns 0; a lock that cannot be taken for another reason is explained in a message
// box, and the program ends with 1.
int runProgram(QApplication& app, const std::function<void()>& showTitle = {},
               const std::string& programFolder = {});

// The folder where the instance locks live: the user's data folder, or when there is none
// fit for them the user's runtime folder that the system keeps ("/run/user/UID"); neither
// depends on XDG_RUNTIME_DIR. Empty when neither exists.
std::string lockFolder();

// The lock that keeps a second instance of the program in `folder` from starting, held
// for as long as the returned object lives (InstanceLock). Without a folder fit for locks
// the program starts unguarded rather than let others keep it from starting.
InstanceLock lockProgramFolder(const std::string& folder);

// Why the lock could not be taken, in German, for the message box.
QString lockFailureMessage(const InstanceLock& lock);

// The player's copy of an installed game whose installed game was removed says so, once,
// in a message box, and goes on.
void tellWhenInstalledGameRemoved(const std::string& folder);

// Everything the start does before the title menu: seeds programRandom() from the clock,
// then prepareProgramFolder().
void prepareProgram(const std::string& folder);

// Makes a failed start of the window system (no display, no platform plugin) end the
// program with a German message on standard error and the exit code 1, where Qt would
// abort it. For the time the application object is made; from then on Qt's own handling
// is back.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

}  // namespace lumor
