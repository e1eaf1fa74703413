#pragma once

class QApplication;

namespace lumor {

// The entry routine: runs the program and returns its exit code.
int runProgram(QApplication& app);

}  // namespace lumor
