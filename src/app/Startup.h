// The entry routine: single instance, random seed, program folder, write test, folders,
// default skin, then the title menu.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QApplication;
class QLockFile;

namespace lumor {

// Runs the program and returns its exit code. `showTitle` shows the title menu (not
// modally) and returns; the program then lives in the application's event loop until
// it quits. `programFolder` overrides the executable's folder (tests).
// A second instance for the same program folder returns 0 at once, silently.
int runProgram(QApplication& app, const std::function<void()>& showTitle = {},
               const QString& programFolder = {});

// The executable's folder.
QString executableFolder();

// The lock that keeps a second instance of the program in `folder` from starting: held
// for as long as the returned object lives; nullptr when another running process holds
// it. A lock left behind by a crashed process is taken over. The lock file lives in the
// system's temporary folder (the program folder may be read-only), named after the folder.
std::unique_ptr<QLockFile> lockProgramFolder(const QString& folder);
QString instanceLockPath(const QString& folder);

// Steps 2 to 6: seeds programRandom() from the clock, then prepareProgramFolder().
void prepareProgram(const QString& folder);

}  // namespace lumor
