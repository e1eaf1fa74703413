#include "app/paths.h"
#include "app/state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace lumor;

namespace {

// A fresh program folder below the system's temporary folder, removed afterwards.
class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root = fs::temp_directory_path() / ("lumor-paths-" + std::to_string(rd()));
        fs::create_directories(root);
        app = root.string() + "/";
        state().AppFolder = app;
    }
    void TearDown() override {
        state().AppFolder.clear();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void touch(const std::string& rel, const std::string& text = "x") {
        fs::create_directories((root / rel).parent_path());
        std::ofstream(root / rel) << text;
    }
    fs::path root;
    std::string app;
};

}  // namespace

TEST_F(ProgramFolder, ExistingPartsAreFoundWithoutRegardToCase) {
    touch("skins/default.BMP");
    EXPECT_EQ(programPath("Skins\\Default.bmp"), app + "skins/default.BMP");
    EXPECT_EQ(programPath("SKINS"), app + "skins");
    EXPECT_EQ(programPath("skins/"), app + "skins");
    EXPECT_TRUE(FileExists(app + "Skins\\Default.bmp"));
    EXPECT_TRUE(FolderExists(app + "Skins\\"));
    EXPECT_FALSE(FileExists(app + "Skins"));  // a folder is no file
    EXPECT_FALSE(FolderExists(app + "Skins\\Default.bmp"));
}

TEST_F(ProgramFolder, MissingPartsKeepTheSpellingGiven) {
    EXPECT_EQ(programPath("Skins\\Default.bmp"), app + "Skins/Default.bmp");
    fs::create_directory(programPath("Skins"));
    EXPECT_TRUE(fs::is_directory(root / "Skins"));
    // Later spellings find the folder made with the first one.
    EXPECT_EQ(programPath("skins\\Neu.bmp"), app + "Skins/Neu.bmp");
    EXPECT_FALSE(FileExists(app + "skins\\Neu.bmp"));
}

TEST_F(ProgramFolder, ExactSpellingWinsOverOtherMatches) {
    touch("Musik/a.wav");
    touch("musik/b.wav");
    EXPECT_EQ(programPath("musik\\b.wav"), app + "musik/b.wav");
    EXPECT_EQ(programPath("Musik\\a.wav"), app + "Musik/a.wav");
    // No exact match: the first in listing order ("MUSIK" < "Musik" < "musik" by bytes).
    EXPECT_EQ(programPath("MUSIK"), app + "Musik");
    EXPECT_EQ(programPath("MUSIK/B.WAV"), app + "Musik/B.WAV");
}

TEST_F(ProgramFolder, NamesStayInsideTheFolderAndRootDoesNotDoubleSeparators) {
    EXPECT_EQ(programPath("..\\..\\etc\\passwd"), app + "etc/passwd");
    EXPECT_EQ(programPath(".\\a\\\\b"), app + "a/b");
    EXPECT_EQ(resolveIn("/", "tmp"), "/tmp");
    EXPECT_EQ(resolveIn("/", "TMP\\"), fs::exists("/TMP") ? "/TMP" : "/tmp");
}

TEST_F(ProgramFolder, UmlautsMatchWithoutRegardToCase) {
    touch("Übung/Ärger.llp");
    EXPECT_EQ(programPath("übung\\ärger.LLP"), app + "Übung/Ärger.llp");
    EXPECT_TRUE(sameNameIgnoringCase("ÄÖÜ", "äöü"));
    EXPECT_FALSE(sameNameIgnoringCase("ß", "ss"));
}

TEST_F(ProgramFolder, AbsolutePathsOutsideTheFolderResolveFromTheRoot) {
    touch("Sound/Start.wav");
    state().AppFolder = "/somewhere/else/";
    EXPECT_EQ(resolvePath(root.string() + "/SOUND\\start.WAV"), root.string() + "/Sound/Start.wav");
    EXPECT_TRUE(FileExists(root.string() + "/sound/start.wav"));
    // Relative names are always below the program folder.
    state().AppFolder = app;
    EXPECT_EQ(resolvePath("sound\\START.wav"), app + "Sound/Start.wav");
    EXPECT_EQ(resolvePath("..\\x"), app + "x");
}

TEST_F(ProgramFolder, FileListIsFilteredAndSorted) {
    for (const char* n : {"b.llp", "A.LLP", "c.llp.bak", "Config.cfg", "z.llp", ".x.llp"}) touch(n);
    fs::create_directory(root / "ordner.llp");
    EXPECT_EQ(listFiles(app, "*.llp"), (std::vector<std::string>{"A.LLP", "b.llp", "z.llp"}));
    EXPECT_EQ(listFiles(app + "fehlt", "*.*"), std::vector<std::string>{});
    EXPECT_EQ(listFiles(app).size(), 5u);
}

TEST(Patterns, WildcardsAreCaseInsensitive) {
    EXPECT_TRUE(matchesPattern("Level.LLP", "*.llp"));
    EXPECT_FALSE(matchesPattern("Level.llp.bak", "*.llp"));
    EXPECT_TRUE(matchesPattern("README", "*.*"));
    EXPECT_TRUE(matchesPattern("titel.ogg", "TITEL.*"));
    EXPECT_TRUE(matchesPattern("a1b", "a?b"));
    EXPECT_FALSE(matchesPattern("ab", "a?b"));
    EXPECT_TRUE(matchesPattern("aXbXc", "*b*c"));
    EXPECT_FALSE(matchesPattern("", "?"));
    EXPECT_TRUE(nameLess("apfel", "Birne"));
    EXPECT_TRUE(nameLess("ABC", "abc"));
}
