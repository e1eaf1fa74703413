// lumor-pack verify, dump and build, run as the real executable in a temporary folder.
#include "app/random.h"
#include "levels/level.h"
#include "levels/packfile.h"

#include "support/tool_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lumor;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using lumortest::readFile;
using lumortest::ToolResult;
using lumortest::writeFile;

class LumorPack : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();

        header.PackAuthor = "J\xf6rg";
        header.PackRemark = "Stra\xdf" "e \x80 \x93zitiert\x94";
        header.PackEndMessage = "";
        header.PackLink = "http://example.org";
        header.PackTitle = "Testpack";
        header.PackPassword = "\xc4pfel";
        for (int n = 0; n < 3; ++n) {
            LevelRecord l;
            l.Name = "Level \xe4" + std::to_string(n + 1);
            l.Password = n == 1 ? "" : "PW" + std::to_string(n);
            if (n == 1) l.Name = std::string("\x81\0\x9d\x07", 4);  // undefined code points, controls
            for (int x = 0; x < BoardWidth; ++x)
                for (int y = 0; y < BoardHeight; ++y) l.cell(x, y) = static_cast<int16_t>((x * 3 + y + n) % 21);
            for (int i = 0; i < StockEntries; ++i) l.Stock[static_cast<size_t>(i)] = static_cast<int16_t>(i * 100 - 700);
            levels.push_back(l);
        }
        pack = (dir / "test.llp").string();
        SeededRandom random(9);
        ASSERT_TRUE(writePack(pack, header, levels, random).ok);
    }
    ToolResult lumorPack(const std::vector<std::string>& args) { return lumortest::runLumorPack(args, dir); }

    // Dumps the pack and checks the shape, returning the JSON.
    Json dumped(const std::string& file) {
        const ToolResult r = lumorPack({"dump", file});
        EXPECT_EQ(r.exit, 0) << r.err;
        return Json::parse(r.out);
    }

    std::string pack;
    PackHeader header;
    std::vector<LevelRecord> levels;
};

const std::string DamagedUtf8 = "Levelpack besch\xc3\xa4" "digt!";

}  // namespace

TEST_F(LumorPack, VerifyTellsSoundDamagedAndUnreadablePacksApart) {
   ToolResult r = lumorPack({"verify", pack});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "3\n");

    std::string bytes = readFile(pack);
    bytes[bytes.size() - 3] ^= 1;  // a digit of the checksum
    const fs::path damaged = dir / "kaputt.llp";
    writeFile(damaged, bytes);
    r = lumorPack({"verify", damaged.string()});
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find(DamagedUtf8), std::string::npos) << "UTF-8 on the terminal: " << r.err;
    EXPECT_EQ(r.out, "");

    writeFile(damaged, "");
    EXPECT_EQ(lumorPack({"verify", damaged.string()}).exit, 1) << "an empty file ends before its checksum";

    r = lumorPack({"verify", (dir / "fehlt.llp").string()});
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find("fehlt.llp"), std::string::npos);
    EXPECT_EQ(lumorPack({"verify"}).exit, 2);
    EXPECT_EQ(lumorPack({"verify", pack, pack}).exit, 2);
    EXPECT_EQ(lumorPack({"dump", (dir / "fehlt.llp").string()}).exit, 2);
    EXPECT_EQ(lumorPack({"dump", damaged.string()}).exit, 1);
}

TEST_F(LumorPack, DumpWritesTheWholePackAsUtf8Json) {
    const Json j = dumped(pack);
    ASSERT_TRUE(j.is_object());
    std::vector<std::string> keys;
    for (const auto& [k, v] : j["header"].items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"author", "remark", "endMessage", "link", "title", "password"}));
    EXPECT_EQ(j["header"]["author"], "J\xc3\xb6rg");
    EXPECT_EQ(j["header"]["remark"], "Stra\xc3\x9f" "e \xe2\x82\xac \xe2\x80\x9czitiert\xe2\x80\x9d")
        << "0x80..0x9F are Windows-1252, not Latin-1";
    EXPECT_EQ(j["header"]["password"], "\xc3\x84pfel") << "unscrambled";
    ASSERT_EQ(j["levels"].size(), 3u);
    const Json& l = j["levels"][2];
    EXPECT_EQ(l["name"], "Level \xc3\xa4" "3");
    EXPECT_EQ(l["password"], "PW2");
    ASSERT_EQ(l["cells"].size(), 20u);
    for (const auto& column : l["cells"]) ASSERT_EQ(column.size(), 12u);
    EXPECT_EQ(l["cells"][19][11], levels[2].cell(19, 11)) << "x outer, y inner";
    EXPECT_EQ(l["cells"][1][0], levels[2].cell(1, 0));
    EXPECT_EQ(l["cells"][0][1], levels[2].cell(0, 1));
    ASSERT_EQ(l["stock"].size(), 16u);
    EXPECT_EQ(l["stock"][15], 800);
    EXPECT_EQ(l["stock"][0], -700);
}

TEST_F(LumorPack, BuildIsTheInverseOfDump) {
    const Json j = dumped(pack);
    const fs::path json = dir / "pack.json", built = dir / "neu.llp";
    writeFile(json, j.dump(2));
   ToolResult r = lumorPack({"build", json.string(), built.string()});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(dumped(built.string()), j);
    const PackReadResult back = readPack(built.string());
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.contents.header, header);
    EXPECT_EQ(back.contents.levels, levels);
    const std::string bytes = readFile(built);
    EXPECT_EQ(bytes.substr(0, 23), "Lumor Levelpack V.1.1\r\n");

    // A pack without levels, and the same JSON compact.
    const Json empty = Json::parse(R"({"header":{"author":"","remark":"","endMessage":"","link":"","title":"",
                                       "password":""},"levels":[]})");
    writeFile(json, empty.dump());
    ASSERT_EQ(lumorPack({"build", json.string(), built.string()}).exit, 0);
    EXPECT_EQ(readFile(built), "Lumor Levelpack V.1.1\r\n\r\n\r\n\r\n\r\n\r\n\r\n*\r\n*\r\n0\r\n");
    EXPECT_EQ(lumorPack({"verify", built.string()}).out, "0\n");
}

TEST_F(LumorPack, BuildRefusesWithoutTouchingTheTarget) {
    const Json good = dumped(pack);
    const fs::path json = dir / "pack.json";
    const std::string old = readFile(pack);
    auto refusedWith = [&](const Json& j, const std::string& part) {
        writeFile(json, j.dump());
        const ToolResult r = lumorPack({"build", json.string(), pack});
        EXPECT_EQ(r.exit, 1) << r.err;
        EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
        EXPECT_EQ(readFile(pack), old) << "the old file stays byte for byte";
    };

    Json j = good;
    j["levels"][1]["name"] = "\xc3\xbf" "x";  // "ÿ" at position 1: 255 + 1
    refusedWith(j, "Der Name des 2. Levels (\xc3\xbf" "x) ist nicht kompaktibel.");
    j = good;
    j["header"]["password"] = ")";
    refusedWith(j, "Passwort ist nicht kompaktibel.");
    j = good;
    j["header"]["title"] = "*";
    refusedWith(j, "Titel");
    j = good;
    j["levels"][0]["cells"][19][11] = 32768;
    refusedWith(j, "levels[0].cells[19][11]");
    j = good;
    j["levels"][2]["stock"].erase(15);
    refusedWith(j, "levels[2].stock");
    j = good;
    j["levels"][0]["cells"].erase(0);
    refusedWith(j, "levels[0].cells");
    j = good;
    j["levels"][0]["cells"][3][3] = "9";
    refusedWith(j, "levels[0].cells[3][3]");
    j = good;
    j["header"].erase("link");
    refusedWith(j, "\"link\"");
    j = good;
    j["header"]["autor"] = "Tippfehler";
    refusedWith(j, "\"autor\"");
    j = good;
    j["header"]["author"] = "Pfeil \xe2\x86\x92";  // not in Windows-1252
    refusedWith(j, "header.author");
    j = good;
    for (int i = 0; i < 100; ++i) j["levels"].push_back(good["levels"][0]);
    refusedWith(j, "101");

    writeFile(json, "{\"header\": ");
   ToolResult r = lumorPack({"build", json.string(), pack});
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("JSON"), std::string::npos);
    EXPECT_EQ(readFile(pack), old);

    r = lumorPack({"build", (dir / "fehlt.json").string(), pack});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(lumorPack({"build", json.string()}).exit, 2);
    writeFile(json, good.dump());
    r = lumorPack({"build", json.string(), (dir / "fehlt" / "x.llp").string()});
    EXPECT_EQ(r.exit, 2) << "a folder that does not exist";
    EXPECT_NE(r.err.find("nicht gespeichert"), std::string::npos);

    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"pack.json", "test.llp"})) << "no stray temporary file";
}
