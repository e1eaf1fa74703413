// Installing for all users: the tree that `cmake --install` makes below DESTDIR, the
// validators of the desktop's files, and the Debian package made by cpack.
#include "support/tool_runner.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using lumortest::shellQuoted;

// A shell command line: its exit code and what it wrote (output and errors).
std::pair<int, std::string> run(const std::string& line, const fs::path& scratch) {
    const fs::path log = scratch / "run.log";
    const int status = std::system((line + " >" + shellQuoted(log.string()) + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, lumortest::readFile(log)};
}

std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) files.insert(e.path().lexically_relative(root).string());
    return files;
}

class Install : public lumortest::ScratchFolderTest {};

// The program folder as the build ships it (never what a run left there), the launchers
// and the desktop's files; the package holds exactly the same below /usr.
TEST_F(Install, TreeAndDebianPackageHoldTheGameTheLaunchersAndTheDesktopFiles) {
    if (!fs::exists(fs::path(LUMOR_PROGRAM_DIR) / "Lumor")) GTEST_SKIP() << "no game built";
    // cmake --install and cpack write their manifest into the build tree.
    const fs::path manifest = LUMOR_BINARY_DIR "/install_manifest.txt";
    if (::access(fs::exists(manifest) ? manifest.c_str() : LUMOR_BINARY_DIR, W_OK) != 0)
        GTEST_SKIP() << "this user cannot write " << manifest;
    const fs::path root = dir / "root";
    auto [exit, out] = run("DESTDIR=" + shellQuoted(root.string()) + " " LUMOR_CMAKE " --install " +
                               shellQuoted(LUMOR_BINARY_DIR) + " --prefix /usr",
                           dir);
    ASSERT_EQ(exit, 0) << out;

    const std::string program = std::string("usr/" LUMOR_INSTALL_PROGRAMDIR "/");
    const std::string id = LUMOR_APP_ID;
    std::set<std::string> expected = {"usr/bin/lumor", "usr/bin/lumor-pack",
                                      "usr/share/applications/" + id + ".desktop",
                                      "usr/share/metainfo/" + id + ".metainfo.xml"};
    for (const char* f :
         {"Lumor", "Install", "Lumor.png", "Skins/Default.bmp", "Skins/Holz.bmp", "Skins/Neon.bmp",
          "Musik/TITEL.wav", "Musik/Lichtspiel.wav", "Musik/Spiegelsaal.wav", "Musik/Sandsturm.wav",
          "Sound/start.wav", "Sound/kreuz.wav", "Sound/sand.wav", "Sound/lenk.wav",
          "Sound/teiler.wav", "Sound/wand.wav", "Sound/ziel.wav"})
        expected.insert(program + f);
    for (const auto& e : fs::directory_iterator(fs::path(LUMOR_SOURCE_DIR) / "data/packs"))
        expected.insert(program + e.path().stem().string() + ".llp");
    for (const char* size : {"16", "22", "24", "32", "48", "64", "128", "256"})
        expected.insert("usr/share/icons/hicolor/" + std::string(size) + "x" + size + "/apps/" +
                        id + ".png");
    EXPECT_EQ(filesBelow(root), expected);
    for (const std::string& exe : {std::string("usr/bin/lumor"), std::string("usr/bin/lumor-pack"),
                                   program + "Lumor", program + "Install"})
        EXPECT_NE(fs::status(root / exe).permissions() & fs::perms::others_exec, fs::perms::none)
            << exe;

    const fs::path entry = root / "usr/share/applications" / (id + ".desktop");
    std::tie(exit, out) = run("desktop-file-validate " + shellQuoted(entry.string()), dir);
    EXPECT_TRUE(exit == 0 && out.empty()) << out;
    const std::string text = lumortest::readFile(entry);
    for (const char* line :
         {"\nCategories=Game;LogicGame;\n", "\nName[de]=", "\nComment=", "\nComment[de]="})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    std::tie(exit, out) =
        run("appstreamcli validate --no-net " +
                shellQuoted((root / "usr/share/metainfo" / (id + ".metainfo.xml")).string()),
            dir);
    EXPECT_EQ(exit, 0) << out;

    std::tie(exit, out) =
        run(LUMOR_CPACK " -G DEB --config " + shellQuoted(LUMOR_BINARY_DIR "/CPackConfig.cmake") +
                " -B " + shellQuoted((dir / "cpack").string()),
            dir);
    ASSERT_EQ(exit, 0) << out;
    std::string deb;
    for (const auto& e : fs::directory_iterator(dir / "cpack"))
        if (e.path().extension() == ".deb") deb = e.path().string();
    std::tie(exit, out) = run("dpkg-deb -c " + shellQuoted(deb), dir);
    ASSERT_EQ(exit, 0) << out;
    std::set<std::string> packaged;
    std::istringstream listing(out);
    for (std::string line; std::getline(listing, line);)
        if (line[0] != 'd') packaged.insert(line.substr(line.find(" ./") + 3));
    EXPECT_EQ(packaged, expected);
    std::tie(exit, out) = run("dpkg-deb -f " + shellQuoted(deb) + " Package Section Depends", dir);
    EXPECT_EQ(out.rfind("Package: lumor\nSection: games\nDepends: ", 0), 0u) << out;
    EXPECT_NE(out.find("libqt6widgets6"), std::string::npos) << out;
}

}  // namespace
