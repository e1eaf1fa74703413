// lumor-pack compile and decompile through the real executable.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
};

Result runPack(const std::string& args, const fs::path& errFile) {
    const std::string cmd = std::string(LUMOR_PACK_EXE) + " " + args + " 2>" + errFile.string();
    Result r;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SourceCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("lumor_source_cmd_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

}  // namespace

TEST_F(SourceCommand, ShippedSourcesCompileAndDecompileToTheSameLevels) {
    const fs::path source = fs::path(LUMOR_SOURCE_DIR) / "data" / "packs" / "1_Einstieg.lls";
    const fs::path pack = dir_ / "a.llp", again = dir_ / "b.llp", back = dir_ / "back.lls";
    const fs::path err = dir_ / "err.txt";
    ASSERT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exitCode, 0) << readAll(err);
    const Result decompiled = runPack("decompile " + pack.string(), err);
    ASSERT_EQ(decompiled.exitCode, 0) << readAll(err);
    std::ofstream(back, std::ios::binary) << decompiled.out;
    ASSERT_EQ(runPack("compile " + back.string() + " " + again.string(), err).exitCode, 0) << readAll(err);
    // The same fixed filler seed: the same levels give the same bytes.
    EXPECT_EQ(readAll(pack), readAll(again));
    EXPECT_NE(decompiled.out.find("Level: Erstes Licht\nPasswort: FUNKE\n"), std::string::npos);
    EXPECT_EQ(decompiled.out.find("\nBestwert:"), std::string::npos) << "a pack holds no recorded best values";
}

TEST_F(SourceCommand, RefusalsSayWhereAndTouchNoFile) {
    const fs::path source = dir_ / "bad.lls", pack = dir_ / "bad.llp", err = dir_ / "err.txt";
    std::ofstream(source, std::ios::binary) << "Lumor-Levelquelle 1\nTitel: x\nLevel: Eins\nVorrat: 1 | Q 1\n";
    EXPECT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exitCode, 1);
    EXPECT_NE(readAll(err).find("Zeile 4: erwartet wird \"Stein Anzahl\""), std::string::npos) << readAll(err);
    EXPECT_FALSE(fs::exists(pack));

    // A name the pack file cannot store: code + position above 255.
    std::string level = "Lumor-Levelquelle 1\nLevel: \xc3\xbf\nVorrat: 0\nBrett:\n";
    for (int y = 0; y < 12; ++y) level += "....................\n";
    std::ofstream(source, std::ios::binary | std::ios::trunc) << level;
    EXPECT_EQ(runPack("compile " + source.string() + " " + pack.string(), err).exitCode, 1);
    EXPECT_NE(readAll(err).find("nicht kompaktibel"), std::string::npos) << readAll(err);
    EXPECT_FALSE(fs::exists(pack));

    EXPECT_EQ(runPack("compile " + (dir_ / "missing.lls").string() + " " + pack.string(), err).exitCode, 2);
    EXPECT_EQ(runPack("decompile " + (dir_ / "missing.llp").string(), err).exitCode, 2);
    EXPECT_EQ(runPack("compile onlyone", err).exitCode, 2);
}
