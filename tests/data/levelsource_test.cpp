#include "levels/levelsource.h"
#include "play/cells.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using namespace lumor;

namespace {

// Any byte but NUL, which no pack keeps.
std::string randomText(std::mt19937& rng, bool anyByte) {
    std::uniform_int_distribution<int> len(0, 24), byte(anyByte ? 1 : 32, 255);
    std::string s;
    const int n = len(rng);
    for (int i = 0; i < n; ++i) s += static_cast<char>(byte(rng));
    return s;
}

LevelRecord randomLevel(std::mt19937& rng, bool anyByte) {
    LevelRecord r;
    std::uniform_int_distribution<int> legend(0, 20), wild(-32768, 32767), pick(0, 9);
    for (auto& c : r.Cells) c = static_cast<int16_t>(pick(rng) == 0 ? wild(rng) : legend(rng));
    for (auto& s : r.Stock) s = static_cast<int16_t>(pick(rng) < 5 ? 0 : wild(rng));
    do r.Name = randomText(rng, anyByte);
    while (r.Name == "*");
    r.Password = randomText(rng, anyByte);
    return r;
}

const char* const Minimal =
    "Lumor-Levelquelle 1\n"
    "Titel: Probe\n"
    "Level: Eins\n"
    "Passwort: EINS\n"
    "Vorrat: 2 | \u250C 1 | # 1\n"
    "Brett:\n"
    "####################\n"
    "#1................2#\n"
    ".>v<^RDLU#+\u250C\u2510\u2518\u2514~T123\n"  // every legend character, codes 0-19
    "#....>.........D...#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#..................#\n"
    "#3................4#\n"
    "####################\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t p = text.find(from);
    EXPECT_NE(p, std::string::npos) << from;
    if (p != std::string::npos) text.replace(p, from.size(), to);
    return text;
}

}  // namespace

TEST(LevelSource, WriteThenParseGivesBackEveryPackExactly) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        LevelSource src;
        src.header = {randomText(rng, true), randomText(rng, true), randomText(rng, true),
                      randomText(rng, true), randomText(rng, true), randomText(rng, true)};
        const int count = round == 0 ? 0 : static_cast<int>(rng() % 5) + 1;
        for (int i = 0; i < count; ++i)
            src.levels.push_back({randomLevel(rng, true), std::nullopt, std::nullopt, 0, {}, {}});
        const std::string text = writeLevelSource(src);
        const LevelSourceResult back = parseLevelSource(text);
        ASSERT_TRUE(back.ok) << back.error << "\n" << text;
        EXPECT_EQ(back.source.header, src.header);
        EXPECT_EQ(back.source.records(), src.records());
        EXPECT_EQ(writeLevelSource(back.source), text) << "a written source is canonical";
    }
}

TEST(LevelSource, ReadsTheHandWrittenFormWithSolutionsCommentsAndCrLf) {
    std::string text = std::string("; ein Kommentar\n\n") + Minimal;
    text = replaced(text, "Brett:\n",
                    "Bestwert: 1\nL\u00f6sung: \u250C 5,9 | # 0,0\n; noch einer\n"
                    "Absicht: K\u00f6der # \u2518 | Einf\u00fchrung | L\u00f6sungen 4 | "
                    "\u00c4hnlich WINKEL | Reserve 1 | Reserve \u00f6ffnet\n"
                    "Grund:  Erster Level \nBrett:\n");
    text = replaced(text, "Titel: Probe",
                    "Titel:   \"  Zitat \\\"x\\\" \\x01\\\\ \"   \nSchwerer als: Einstieg");
    const std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    for (const std::string& t : {text, crlf, "\xEF\xBB\xBF" + crlf}) {  // also after a BOM
        const LevelSourceResult r = parseLevelSource(t);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.source.header.PackTitle, std::string("  Zitat \"x\" \x01\\ "));
        ASSERT_EQ(r.source.levels.size(), 1u);
        const SourceLevel& l = r.source.levels[0];
        EXPECT_EQ(l.record.Name, "Eins");
        EXPECT_EQ(l.record.Stock, (std::array<int16_t, StockEntries>{2, 1, 0, 1}));
        for (int x = 0; x < BoardWidth; ++x) EXPECT_EQ(l.record.cell(x, 2), x);
        EXPECT_EQ(l.record.cell(18, 10), Decoration4);
        EXPECT_EQ(l.bestLeft, 1);
        ASSERT_TRUE(l.solution.has_value());
        EXPECT_EQ(*l.solution, (std::vector<SourcePiece>{{3, 5, 9}, {1, 0, 0}}));
        EXPECT_EQ(r.source.harderThan, "Einstieg");
        EXPECT_EQ(l.intent, (LevelIntent{4, {1, 5}, 1, true, {"WINKEL"}, true}));
        EXPECT_EQ(l.reason, "Erster Level");
        const LevelSourceResult again = parseLevelSource(writeLevelSource(r.source));
        ASSERT_TRUE(again.ok) << again.error;
        EXPECT_EQ(again.source.levels, r.source.levels);
        EXPECT_EQ(again.source.harderThan, r.source.harderThan);
    }
}

TEST(LevelSource, RefusesMistakesWithTheLineThatHoldsThem) {
    struct Case {
        std::string from, to, message;
    };
    const std::vector<Case> cases = {
        {"#....>.........D...#", "#....>.........D..#",
         "Zeile 10: eine Brettzeile hat 20 Zeichen, hier sind es 19"},
        {"#....>.........D...#", "#....>...X.....D...#",
         "Zeile 10: unbekanntes Zeichen \"X\" in Spalte 9"},
        {"#....>.........D...#", "#....>...?.....D...#",
         "Zeile 10: zu \"?\" in Spalte 9 fehlt die Zeile \"Zelle 9,3: Code\""},
        {"Passwort: EINS", "Passwort: EINS\nPasswort: ZWEI", "Zeile 5: \"Passwort\" steht doppelt"},
        {"Passwort: EINS", "Passwort: \u2192",
         "Zeile 4: der Text enth\u00e4lt Zeichen, die Windows-1252 nicht kennt"},
        {"Passwort: EINS", "Farbe: rot", "Zeile 4: unbekannter Eintrag \"Farbe\""},
        {"Level: Eins", "Level: *",
         "Zeile 3: ein Level darf nicht \"*\" hei\u00dfen (das ist die Endmarke der Liste)"},
        {"Vorrat: 2 | \u250C 1 | # 1", "Vorrat: 2 | X 1",
         "Zeile 5: erwartet wird \"Stein Anzahl\""},
        {"Vorrat: 2 | \u250C 1 | # 1", "Vorrat: 2 | # 1 | # 2",
         "Zeile 5: der Stein # steht doppelt im Vorrat"},
        {"Vorrat: 2 | \u250C 1 | # 1", "Vorrat: 40000",
         "Zeile 5: die Gesamtzahl des Vorrats ist zu gro\u00df (h\u00f6chstens 32767)"},
        {"Vorrat: 2 | \u250C 1 | # 1", "Vorrat: 2 | # 999999999999999999999999999999",
         "Zeile 5: die Anzahl von # ist zu gro\u00df"},
        {"Vorrat: 2 | \u250C 1 | # 1", "Vorrat: +2",
         "Zeile 5: der Vorrat beginnt mit der Gesamtzahl"},
        {"Passwort: EINS", "Passwort: \"A\\x00B\"",
         "Zeile 4: der Text enth\u00e4lt das Zeichen NUL"},
        {"Titel: Probe", std::string("Titel: A\0B", 10),
         "Zeile 2: der Text enth\u00e4lt das Zeichen NUL"},
        {"Titel: Probe", "Titel: \"offen",
         "Zeile 2: der Text in Anf\u00fchrungszeichen ist nicht geschlossen"},
        {"Lumor-Levelquelle 1", "Lumor-Levelquelle 2", "Zeile 1: die Quelle muss mit"},
        {"Brett:\n", "Brett:\n####################\n",
         "Zeile 19: erwartet wird \"Schl\u00fcssel: Wert\""},
        {"#3................4#\n####################\n", "#3................4#\n",
         "Zeile 17: das Brett braucht 12 Zeilen"},
        {"Brett:\n", "Absicht: L\u00f6sungen 0\nBrett:\n",
         "Zeile 6: \"L\u00f6sungen\" braucht eine Zahl ab 1"},
        {"Brett:\n", "Absicht: K\u00f6der X\nBrett:\n", "Zeile 6: \"K\u00f6der\" nennt Steine"},
        {"Brett:\n", "Absicht: Einf\u00fchrung | Einf\u00fchrung\nBrett:\n",
         "Zeile 6: \"Einf\u00fchrung\" steht doppelt in der Absicht"},
        {"Brett:\n", "Absicht: Reserve viel\nBrett:\n", "Zeile 6: \"Reserve\" braucht eine Zahl"},
        {"Brett:\n", "Absicht: Fliegen\nBrett:\n", "Zeile 6: erwartet wird z. B."},
        {"Brett:\n", "Grund:\nBrett:\n", "Zeile 6: \"Grund\" braucht einen Text"},
    };
    for (const auto& c : cases) {
        const LevelSourceResult r = parseLevelSource(replaced(Minimal, c.from, c.to));
        EXPECT_FALSE(r.ok) << c.to;
        EXPECT_EQ(r.error.substr(0, c.message.size()), c.message) << r.error;
    }
    std::string many = Minimal;
    const std::string level = many.substr(many.find("Level:"));
    for (int i = 0; i < MaxLevels; ++i) many += level;
    const LevelSourceResult r = parseLevelSource(many);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("mehr als 101 Levels"), std::string::npos) << r.error;
}

TEST(LevelSource, DamagedSourcesNeverCrashAndWhatIsAcceptedRoundTrips) {
    std::mt19937 rng(99);
    const std::string base = replaced(
        std::string(Minimal) + "Bestwert: 1\n", "Brett:\n",
        "Absicht: K\u00f6der # | Reserve 2 | \u00c4hnlich \" A\\\"B\"\nGrund: weil\nBrett:\n");
    ASSERT_TRUE(parseLevelSource(base).ok) << parseLevelSource(base).error;
    for (int round = 0; round < 3000; ++round) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const size_t at = rng() % text.size();
            const auto edit = rng() % 4;
            if (edit == 0) text[at] = static_cast<char>(rng() % 256);
            if (edit == 1) text.erase(at, 1 + rng() % 30);
            if (edit == 2)
                text.insert(at, std::string(1 + rng() % 3, "\n\"\\|:?,~#\xe2\x94"[rng() % 11]));
            if (edit == 3) text.insert(at, text.substr(rng() % text.size(), rng() % 40));
        }
        const LevelSourceResult r = parseLevelSource(text);
        if (!r.ok) {
            EXPECT_EQ(r.error.rfind("Zeile ", 0), 0u) << r.error;
            continue;
        }
        const LevelSourceResult again = parseLevelSource(writeLevelSource(r.source));
        ASSERT_TRUE(again.ok) << again.error;
        EXPECT_TRUE(again.source.header == r.source.header &&
                    again.source.levels == r.source.levels &&
                    again.source.harderThan == r.source.harderThan);
    }
}
