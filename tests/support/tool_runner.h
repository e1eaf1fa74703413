// Runs the real lumor-pack executable for the command-line tests, in a scratch folder.
#pragma once

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace lumortest {

struct ToolResult {
    int exit = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs lumor-pack with a ready-made argument line (words split by the shell); standard
// output and error go through files in the scratch folder.
inline ToolResult runLumorPackLine(const std::string& argLine, const fs::path& scratch) {
    const fs::path outFile = scratch / "stdout.txt", errFile = scratch / "stderr.txt";
    const std::string cmd = shellQuoted(LUMOR_PACK_EXE) + " " + argLine + " >" +
                            shellQuoted(outFile.string()) + " 2>" + shellQuoted(errFile.string());
    const int status = std::system(cmd.c_str());
    ToolResult r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(outFile);
    r.err = readFile(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return r;
}

// The same with each argument passed exactly as given.
inline ToolResult runLumorPack(const std::vector<std::string>& args, const fs::path& scratch) {
    std::string line;
    for (const auto& a : args) line += (line.empty() ? "" : " ") + shellQuoted(a);
    return runLumorPackLine(line, scratch);
}

}  // namespace lumortest
