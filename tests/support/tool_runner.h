// Runs the real lumor-pack executable for the command-line tests, in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumortest {

namespace fs = std::filesystem;

struct ToolResult {
    int exit = -1;
    std::string out, err;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

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

// A fresh folder under the system's temporary folder, removed again by TearDown.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "lumor-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

}  // namespace lumortest
