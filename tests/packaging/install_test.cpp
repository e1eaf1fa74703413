// Installing for all users: the tree that `cmake --install` makes below DESTDIR, the
// validators of the desktop's files, and the Debian package made by cpack.
#include "support/tool_runner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using lumortest::readFile;
using lumortest::shellQuoted;

const fs::path Build = LUMOR_BINARY_DIR;
const std::string Program = std::string("usr/") + LUMOR_INSTALL_PROGRAMDIR + "/";
const std::string Id = LUMOR_APP_ID;
const int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct Outcome {
    int exit = -1;
    std::string out;
};

// A shell command line; standard output and error together.
Outcome run(const std::string& line, const fs::path& scratch) {
    const fs::path log = scratch / "run.log";
    const int status = std::system((line + " >" + shellQuoted(log.string()) + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(log)};
}

std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) files.insert(e.path().lexically_relative(root).string());
    return files;
}

// Width and height from a PNG's header chunk.
std::pair<int, int> pngSize(const fs::path& file) {
    const std::string b = readFile(file);
    if (b.size() < 24 || b.compare(1, 3, "PNG") != 0) return {0, 0};
    const auto be = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(b[at + i]);
        return v;
    };
    return {be(16), be(20)};
}

class Install : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(LUMOR_PROGRAM_DIR) / "Lumor")) GTEST_SKIP() << "no game built";
        ScratchFolderTest::SetUp();
        root = dir / "root";
        const Outcome r =
            run("DESTDIR=" + shellQuoted(root.string()) + " " + shellQuoted(LUMOR_CMAKE) +
                    " --install " + shellQuoted(Build.string()) + " --prefix /usr",
                dir);
        ASSERT_EQ(r.exit, 0) << r.out;
    }

    // Every file of the install, relative to the root: the program folder as the build
    // ships it (never what a run left there), the launchers and the desktop's files.
    static std::set<std::string> expectedFiles() {
        std::set<std::string> files;
        for (const char* f :
             {"Lumor", "Install", "Lumor.png", "Skins/Default.bmp", "Skins/Holz.bmp",
              "Skins/Neon.bmp", "Musik/TITEL.wav", "Musik/Lichtspiel.wav", "Musik/Spiegelsaal.wav",
              "Musik/Sandsturm.wav"})
            files.insert(Program + f);
        for (const char* s : {"start", "kreuz", "sand", "lenk", "teiler", "wand", "ziel"})
            files.insert(Program + "Sound/" + s + ".wav");
        for (const auto& e : fs::directory_iterator(fs::path(LUMOR_SOURCE_DIR) / "data/packs"))
            files.insert(Program + e.path().stem().string() + ".llp");
        for (int size : IconSizes)
            files.insert("usr/share/icons/hicolor/" + std::to_string(size) + "x" +
                         std::to_string(size) + "/apps/" + Id + ".png");
        files.insert({"usr/bin/lumor", "usr/bin/lumor-pack",
                      "usr/share/applications/" + Id + ".desktop",
                      "usr/share/metainfo/" + Id + ".metainfo.xml"});
        return files;
    }

    fs::path root;
};

TEST_F(Install, EveryFileInItsPlaceAndTheDesktopFilesValid) {
    EXPECT_EQ(filesBelow(root), expectedFiles());
    for (const char* exe : {"bin/lumor", "bin/lumor-pack"})
        EXPECT_EQ(run("test -x " + shellQuoted((root / "usr" / exe).string()), dir).exit, 0);
    for (const char* exe : {"Lumor", "Install"})
        EXPECT_EQ(run("test -x " + shellQuoted((root / (Program + exe)).string()), dir).exit, 0);
    for (int size : IconSizes)
        EXPECT_EQ(
            pngSize(root / "usr/share/icons/hicolor" /
                    (std::to_string(size) + "x" + std::to_string(size)) / "apps" / (Id + ".png")),
            std::pair(size, size));

    const fs::path entry = root / "usr/share/applications" / (Id + ".desktop");
    Outcome r = run("desktop-file-validate " + shellQuoted(entry.string()), dir);
    EXPECT_TRUE(r.exit == 0 && r.out.empty()) << r.out;
    const std::string text = readFile(entry);
    for (const char* line : {"\nCategories=Game;LogicGame;\n", "\nName[de]=", "\nComment=",
                             "\nComment[de]=", "\nExec=lumor\n", "\nIcon=org.example.lumor\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    r = run("appstreamcli validate --no-net " +
                shellQuoted((root / "usr/share/metainfo" / (Id + ".metainfo.xml")).string()),
            dir);
    EXPECT_EQ(r.exit, 0) << r.out;
}

// The Debian package holds exactly the files of the install, below /usr.
TEST_F(Install, DebianPackageHoldsTheSameFiles) {
    Outcome r = run(shellQuoted(LUMOR_CPACK) + " -G DEB --config " +
                        shellQuoted((Build / "CPackConfig.cmake").string()) + " -B " +
                        shellQuoted((dir / "cpack").string()),
                    dir);
    ASSERT_EQ(r.exit, 0) << r.out;
    std::string deb;
    for (const auto& e : fs::directory_iterator(dir / "cpack"))
        if (e.path().extension() == ".deb") deb = e.path().string();
    ASSERT_FALSE(deb.empty()) << r.out;

    r = run("dpkg-deb -c " + shellQuoted(deb), dir);
    ASSERT_EQ(r.exit, 0) << r.out;
    std::set<std::string> files;
    std::istringstream listing(r.out);
    for (std::string line; std::getline(listing, line);) {
        const size_t name = line.find(" ./");
        if (!line.empty() && line[0] != 'd' && name != std::string::npos)
            files.insert(line.substr(name + 3));
    }
    EXPECT_EQ(files, filesBelow(root));

    r = run("dpkg-deb -f " + shellQuoted(deb) + " Package Section Depends", dir);
    EXPECT_EQ(r.out.rfind("Package: lumor\nSection: games\nDepends: ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("libqt6widgets6"), std::string::npos) << r.out;
}

}  // namespace
