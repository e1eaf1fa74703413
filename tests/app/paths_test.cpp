#include "app/paths.h"
#include "app/state.h"
#include "app/userdata.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace lumor;

namespace {

class ProgramFolder : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override { state().AppFolder = app; }
    void TearDown() override { state().AppFolder.clear(); }
    void touch(const std::string& rel) { lumortest::writeFile(dir / rel, "x"); }
    const std::string app = dir.string() + "/";
};

}  // namespace

TEST_F(ProgramFolder, PartsAreFoundWithoutRegardToCaseExactSpellingFirst) {
    touch("skins/default.BMP");
    EXPECT_EQ(programPath("Skins\\Default.bmp"), app + "skins/default.BMP");
    EXPECT_EQ(programPath("skins/"), app + "skins");
    EXPECT_TRUE(FileExists(app + "Skins\\Default.bmp"));
    EXPECT_TRUE(FolderExists(app + "Skins\\"));
    EXPECT_FALSE(FileExists(app + "Skins"));  // a folder is no file
    EXPECT_FALSE(FolderExists(app + "Skins\\Default.bmp"));
    // Missing parts keep the spelling given; later spellings find what the first made.
    EXPECT_EQ(programPath("Musik\\a.wav"), app + "Musik/a.wav");
    touch("Musik/a.wav");
    touch("musik/b.wav");
    EXPECT_EQ(programPath("musik\\b.wav"), app + "musik/b.wav");
    EXPECT_EQ(programPath("Musik\\a.wav"), app + "Musik/a.wav");
    // No exact match: the first in listing order ("MUSIK" < "Musik" < "musik" by bytes).
    EXPECT_EQ(programPath("MUSIK/B.WAV"), app + "Musik/B.WAV");
    touch("Übung/Ärger.llp");
    EXPECT_EQ(programPath("übung\\ärger.LLP"), app + "Übung/Ärger.llp");
    EXPECT_FALSE(sameNameIgnoringCase("ß", "ss"));
}

TEST_F(ProgramFolder, NamesStayInsideTheFolderAndAbsolutePathsResolveFromTheRoot) {
    EXPECT_EQ(programPath("..\\..\\etc\\passwd"), app + "etc/passwd");
    EXPECT_EQ(programPath(".\\a\\\\b"), app + "a/b");
    EXPECT_EQ(resolveIn("/", "tmp"), "/tmp");
    EXPECT_EQ(resolvePath("..\\x"), app + "x");
    touch("Sound/Start.wav");
    state().AppFolder = "/somewhere/else/";
    EXPECT_EQ(resolvePath(dir.string() + "/SOUND\\start.WAV"), dir.string() + "/Sound/Start.wav");
}

TEST_F(ProgramFolder, FileListIsFilteredByWildcardsInAnyCaseAndShowsNamesAsMeant) {
    for (const char* n : {"b.llp", "A.LLP", "c.llp.bak", "Config.cfg", "z.llp", ".x.llp"}) touch(n);
    fs::create_directory(dir / "ordner.llp");
    EXPECT_EQ(listFiles(app, "*.llp"), (std::vector<std::string>{"A.LLP", "b.llp", "z.llp"}));
    EXPECT_EQ(listFiles(app + "fehlt", "*.*"), std::vector<std::string>{});
    EXPECT_EQ(listFiles(app).size(), 5u);
    EXPECT_EQ(displayFileName("\xdc"
                              "bung.llp"),
              "Übung.llp");
    EXPECT_EQ(displayFileName("Übung.llp"), "Übung.llp");
    EXPECT_EQ(displayFileName("\xc0\x80"), "À€") << "an overlong form is no UTF-8";

    // Wildcards are case-insensitive.
    for (auto [name, pattern] :
         {std::pair{"README", "*.*"}, {"titel.ogg", "TITEL.*"}, {"a1b", "a?b"}, {"aXbXc", "*b*c"}})
        EXPECT_TRUE(matchesPattern(name, pattern)) << name << " " << pattern;
    for (auto [name, pattern] : {std::pair{"ab", "a?b"}, {"", "?"}, {"aXbXcX", "*b*c"}})
        EXPECT_FALSE(matchesPattern(name, pattern)) << name << " " << pattern;
    EXPECT_TRUE(nameLess("apfel", "Birne") && nameLess("ABC", "abc"));
}

TEST_F(ProgramFolder, UserDataFolderIsMadePrivateAndRefusesALinkOrAFolderOthersMayWrite) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    ::setenv("XDG_DATA_HOME", (dir / "data/").c_str(), 1);
    EXPECT_EQ(userDataPath(), (dir / "data/lumor").string());
    EXPECT_EQ(userDataFolder(), (dir / "data/lumor").string());
    EXPECT_EQ(fs::status(dir / "data/lumor").permissions(), fs::perms::owner_all);

    fs::permissions(dir / "data/lumor", fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(userDataFolder(), "");
    fs::remove(dir / "data/lumor");
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "data/lumor");
    EXPECT_EQ(userDataFolder(), "");

    ::setenv("XDG_DATA_HOME", "relative/path", 1);  // not absolute: ignored, as XDG says
    EXPECT_NE(userDataPath().find("/.local/share/lumor"), std::string::npos);
    if (oldXdg)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}
