// lumor-pack verify, dump and build, run as the real executable in a temporary folder.
#include "app/random.h"
#include "levels/level.h"
#include "levels/packfile.h"

#include "support/fulldisk.h"
#include "support/tool_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

using namespace lumor;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using lumortest::readFile;
using lumortest::ToolResult;
using lumortest::writeFile;

namespace {

class LumorPack : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        for (int n = 0; n < 3; ++n) {
            LevelRecord l;
            // Level 2: undefined code points and controls in its name, no password.
            l.Name =
                n == 1 ? std::string("\x81\x01\x9d\x07", 4) : "Level \xe4" + std::to_string(n + 1);
            l.Password = n == 1 ? "" : "PW" + std::to_string(n);
            for (int x = 0; x < BoardWidth; ++x)
                for (int y = 0; y < BoardHeight; ++y)
                    l.cell(x, y) = static_cast<int16_t>((x * 3 + y + n) % 21);
            for (int i = 0; i < StockEntries; ++i)
                l.Stock[static_cast<size_t>(i)] = static_cast<int16_t>(i * 100 - 700);
            levels.push_back(l);
        }
        SeededRandom random(9);
        ASSERT_TRUE(writePack(pack, header, levels, random).ok);
    }
    ToolResult lumorPack(const std::vector<std::string>& args) {
        return lumortest::runLumorPack(args, dir);
    }
    Json dumped(const std::string& file) {
        const ToolResult r = lumorPack({"dump", file});
        EXPECT_EQ(r.exit, 0) << r.err;
        return Json::parse(r.out);
    }

    const std::string pack = (dir / "test.llp").string();
    const PackHeader header{"J\366rg",  "Stra\337e \200 \223zitiert\224",
                            "",         "http://example.org",
                            "Testpack", "\304pfel"};  // Windows-1252
    std::vector<LevelRecord> levels;
};

}  // namespace

TEST_F(LumorPack, VerifyAndDumpTellSoundDamagedAndUnreadablePacksApart) {
    std::string bytes = readFile(pack);
    bytes[bytes.size() - 3] ^= 1;  // a digit of the checksum
    const std::string damaged = (dir / "kaputt.llp").string(), empty = (dir / "leer.llp").string();
    writeFile(damaged, bytes);
    writeFile(empty, "");  // ends before its checksum
    const std::string missing = (dir / "fehlt.llp").string(),
                      sick = ": Levelpack besch\u00e4digt!\n",
                      gone = ": die Datei kann nicht gelesen werden\n";
    const struct {
        std::vector<std::string> args;
        int exit;
        std::string out, err;  // UTF-8 on the terminal
    } cases[] = {{{"verify", pack}, 0, "3\n", ""},
                 {{"verify", damaged}, 1, "", damaged + sick},
                 {{"dump", damaged}, 1, "", damaged + sick},
                 {{"verify", empty}, 1, "", empty + sick},
                 {{"verify", missing}, 2, "", missing + gone},
                 {{"dump", missing}, 2, "", missing + gone}};
    for (const auto& c : cases) {
        const ToolResult r = lumorPack(c.args);
        EXPECT_EQ(std::tie(r.exit, r.out, r.err), std::tie(c.exit, c.out, c.err)) << c.args[1];
    }
    EXPECT_EQ(lumorPack({"verify", pack, pack}).exit, 2);
}

TEST_F(LumorPack, DumpWritesUtf8JsonAndBuildIsItsInverse) {
    const Json j = dumped(pack);
    // 0x80..0x9F are Windows-1252, not Latin-1; the password comes unscrambled.
    EXPECT_EQ(j["header"].dump(), R"({"author":"Jörg","remark":"Straße € “zitiert”",)"
                                  R"("endMessage":"","link":"http://example.org",)"
                                  R"("title":"Testpack","password":"Äpfel"})");
    ASSERT_EQ(j["levels"].size(), 3u);
    const Json& l = j["levels"][2];
    EXPECT_TRUE(l["name"] == "Level ä3" && l["password"] == "PW2");
    EXPECT_TRUE(l["cells"].size() == 20 && l["cells"][19].size() == 12);  // x outer, y inner
    EXPECT_EQ(l["cells"][5][2], levels[2].cell(5, 2));
    EXPECT_EQ(l["stock"], Json(levels[2].Stock));

    const fs::path json = dir / "pack.json", built = dir / "neu.llp";
    writeFile(json, "\xef\xbb\xbf" + j.dump(2));  // a byte-order mark is no harm
    ASSERT_EQ(lumorPack({"build", json.string(), built.string()}).exit, 0);
    const PackReadResult back = readPack(built.string());
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.contents.header, header);
    EXPECT_EQ(back.contents.levels, levels);
    // A pack without levels, from compact JSON.
    writeFile(json, Json{{"header", j["header"]}, {"levels", Json::array()}}.dump());
    ASSERT_EQ(lumorPack({"build", json.string(), built.string()}).exit, 0);
    EXPECT_EQ(lumorPack({"verify", built.string()}).out, "0\n");
}

TEST_F(LumorPack, BuildRefusesWithoutTouchingTheTarget) {
    const Json good = dumped(pack);
    const fs::path json = dir / "pack.json";
    const std::string old = readFile(pack);
    auto build = [&](const std::string& text, const std::string& target) {
        writeFile(json, text);
        return lumorPack({"build", json.string(), target});
    };
    Json crowded = good;
    for (int i = 0; i < 100; ++i) crowded["levels"].push_back(good["levels"][0]);
    const std::string crowdedText = crowded.dump();
    const std::string bad = json.string() + ": kein g\xc3\xbcltiges JSON";
    const std::string stock2 = R"({"op":"replace","path":"/levels/0/stock/2","value":"@"})";
    const std::string deep = std::string(17, '[') + std::string(17, ']');
    std::string longList = "[0";
    for (int i = 0; i < 256; ++i) longList += ",0";
    longList += "]";
    const struct {
        std::string patch;  // one JSON patch operation, its value "@" standing for `raw`
        std::string message;
        const char* raw = nullptr;
    } cases[] = {
        // The writer's own refusals come through: "ÿ" at position 1 is 255 + 1.
        {R"({"op":"replace","path":"/levels/1/name","value":"\u00ffx"})",
         "Der Name des 2. Levels (\xc3\xbfx) ist nicht kompaktibel."},
        {R"({"op":"replace","path":"/levels/0/cells/19/11","value":32768})",
         "levels[0].cells[19][11]"},
        {R"({"op":"remove","path":"/levels/2/stock/15"})", "levels[2].stock"},
        {R"({"op":"remove","path":"/levels/0/cells/0"})", "levels[0].cells"},
        {R"({"op":"replace","path":"/levels/0/cells/3/3","value":"9"})", "levels[0].cells[3][3]"},
        {R"({"op":"remove","path":"/header/link"})", "\"link\""},
        {R"({"op":"add","path":"/header/autor","value":"Tippfehler"})", "\"autor\""},
        {R"({"op":"replace","path":"/header/author","value":"Pfeil \u2192"})",
         "header.author"},  // not in Windows-1252
        {stock2,
         "levels[0].stock[2]: die Zahl ist zu gro\xc3\x9f (h\xc3\xb6"
         "chstens 32767)",
         "999999999999999999999999999999"},
        {stock2, "levels[0].stock[2]: die Zahl ist zu klein", "-40000"},
        {R"({"op":"replace","path":"/levels/1/password","value":"a\u0000b"})",
         "levels[1].password: der Text enth\xc3\xa4lt das Zeichen NUL"},
        {stock2, "mehr als 16 Ebenen", deep.c_str()},
        {stock2, "mehr als 256 Eintr\xc3\xa4gen", longList.c_str()},
        {stock2, "Kommazahl", "1.5"},
        {stock2, bad + ": eine Zahl ist zu gro\xc3\x9f", "1e400"},
        {R"({"op":"add","path":"/header/zweimal","value":"@"})", "\"zweimal\" steht zweimal",
         R"(1,"zweimal":2)"},
        {"", "101", crowdedText.c_str()},
        {"", bad, "{\"header\": "},
        {"", bad, ""},  // empty
    };
    for (const auto& c : cases) {
        std::string text = c.raw ? c.raw : "";
        if (!c.patch.empty()) {
            text = good.patch(Json::array({Json::parse(c.patch)})).dump();
            if (c.raw) text.replace(text.find("\"@\""), 3, c.raw);
        }
        const ToolResult r = build(text, pack);
        EXPECT_EQ(r.exit, 1) << c.patch << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(readFile(pack), old) << "the old file stays byte for byte";
    }

    EXPECT_EQ(lumorPack({"build", (dir / "fehlt.json").string(), pack}).exit, 2);
    EXPECT_EQ(lumorPack({"build", json.string()}).exit, 2);
    const ToolResult r = build(good.dump(), (dir / "fehlt" / "x.llp").string());
    EXPECT_EQ(r.exit, 2) << "a folder that does not exist";
    EXPECT_NE(r.err.find("x.llp: Das Levelpack konnte nicht gespeichert werden"),
              std::string::npos);
    EXPECT_EQ(lumortest::entriesOf(dir), (std::vector<std::string>{"pack.json", "test.llp"}))
        << "no stray temporary file";
}

// Only a regular file or a new name is written; anything else is refused by name, and the
// superuser is refused a read-only pack as well.
TEST_F(LumorPack, BuildAndCompileWriteOnlyRegularFilesOrNewNames) {
    const fs::path json = dir / "pack.json", source = dir / "pack.lls";
    writeFile(json, dumped(pack).dump());
    writeFile(source, lumorPack({"decompile", pack}).out);
    const fs::path fifo = dir / "fifo.llp", devNull = dir / "null.llp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink("/dev/null", devNull);
    for (const fs::path& target : {fifo, devNull, fs::path("/dev/full")})
        for (const fs::path& input : {json, source}) {
            const ToolResult r =
                lumorPack({input == json ? "build" : "compile", input.string(), target.string()});
            EXPECT_EQ(r.exit, 1) << input << " " << target;
            EXPECT_EQ(r.err.rfind(target.string() + ": ", 0), 0u) << r.err;
            EXPECT_NE(r.err.find("keine gew\xc3\xb6hnliche Datei"), std::string::npos) << r.err;
        }
    EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_symlink(devNull));

    fs::permissions(pack, fs::perms::owner_read);
    const std::string old = readFile(pack);
    const ToolResult r = lumorPack({"build", json.string(), pack});
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("schreibgesch\xc3\xbctzt"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(pack), old);
}

TEST_F(LumorPack, AFailedWriteToStandardOutputIsAnErrorForEveryCommand) {
    const std::string err = lumortest::shellQuoted((dir / "err.txt").string());
    for (const std::string& command :
         {std::string("help"), "verify " + pack, "dump " + pack, "decompile " + pack,
          "run " + pack + " 1", "solve --fast " + pack + " 1"})
        for (const char* out : {">/dev/full", ">&-"}) {
            const std::string line =
                lumortest::shellQuoted(LUMOR_PACK_EXE) + " " + command + " " + out + " 2>" + err;
            const int status = std::system(line.c_str());
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2) << line;
            const std::string said = readFile(dir / "err.txt");
            EXPECT_NE(said.find("die Ausgabe kann nicht geschrieben werden"), std::string::npos)
                << line;
            EXPECT_EQ(said.find("der Datentr\xc3\xa4ger ist voll") != std::string::npos,
                      out == std::string(">/dev/full"))
                << line;
        }
}

// A full disk is named as such, and the pack that was there stays whole.
TEST_F(LumorPack, AFullDiskSaysSoAndKeepsThePack) {
    const fs::path json = dir / "pack.json";
    writeFile(json, dumped(pack).dump());
    const fs::path full = dir / "voll";
    const auto answer = lumortest::onTinyFileSystem(full, 16, [&] {
        const std::string old = readFile(pack);
        writeFile(full / "test.llp", old);
        writeFile(full / "rest", std::string(64 * 1024, 'x'));  // as much as fits
        const ToolResult r = lumorPack({"build", json.string(), (full / "test.llp").string()});
        return std::to_string(r.exit) + " " + r.err +
               (readFile(full / "test.llp") == old ? "" : " (changed)") +
               std::to_string(lumortest::entriesOf(full).size());
    });
    if (!answer) GTEST_SKIP() << lumortest::NoTinyFileSystem;
    EXPECT_EQ(*answer, "2 " + (full / "test.llp").string() +
                           ": Das Levelpack konnte nicht gespeichert werden: der "
                           "Datentr\xc3\xa4ger ist voll.\n2");
}
