#include "support/tool_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

using lumortest::ToolResult;

// A board of the source format: the rows given, filled up to 20 x 12 with `fill`.
std::string board(std::vector<std::string> rows, char fill) {
    std::string out = "Brett:\n";
    rows.resize(12);
    for (const std::string& row : rows) out += row + std::string(20 - row.size(), fill) + "\n";
    return out;
}

// Two levels: a ┐ and a └ bring the beam round (one placement); a wall on any of four
// cells keeps the beam from below off the crossing (four placements, declared); stars
// around it.
const std::string Source =
    "Lumor-Levelquelle 1\nTitel: Probe\nLevel: Ecke\nPasswort: ECKE\n"
    "Vorrat: 2 | \u2510 1 | \u2514 1\n" +
    board({"", "#>.....", "###.", "###....R"}, '#') +
    "\nLevel: Mauer\nPasswort: MAUER\nVorrat: 1 | # 1\nAbsicht: L\u00f6sungen 4\n"
    "Grund: die Wand darf \u00fcberall auf dem Weg von unten stehen\n" +
    board({"", "1>......R", "111111.", "111111.", "111111.", "111111.", "111111^"}, '1');

class LintCommand : public lumortest::ScratchFolderTest {
protected:
    ToolResult lint(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"lint"};
        all.insert(all.end(), args.begin(), args.end());
        return lumortest::runLumorPack(all, dir);
    }
    std::string write(const std::string& name, const std::string& text) {
        lumortest::writeFile(dir / name, text);
        return (dir / name).string();
    }
};

}  // namespace

TEST_F(LintCommand, MeasuresEveryLevelAndFailsOnABrokenDeclaration) {
    const std::string source = write("probe.lls", Source);
    const ToolResult table = lint({"--strict", source});
    EXPECT_EQ(table.exit, 0) << table.out << table.err;
    EXPECT_NE(table.out.find("Aufwand"), std::string::npos);
    EXPECT_NE(table.out.find("Mauer"), std::string::npos);
    EXPECT_EQ(table.out.find("Verst\u00f6\u00dfe"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("Probe: 0 von 2 Levels"), std::string::npos) << table.out;

    const ToolResult json = lint({"--json", source, "2"});
    ASSERT_EQ(json.exit, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    ASSERT_EQ(j["levels"].size(), 1u);
    EXPECT_EQ(j["levels"][0]["name"], "Mauer");
    EXPECT_EQ(j["levels"][0]["placements"], 4);
    EXPECT_EQ(j["levels"][0]["fewest"], 1);
    EXPECT_EQ(j["levels"][0]["forced"].size(), 0u);
    EXPECT_GT(j["levels"][0]["difficulty"].get<double>(), 0);

    // The declaration is a rule of its own; so is one given on the command line.
    std::string text = Source;
    text.replace(text.find("L\u00f6sungen 4"), 11, "L\u00f6sungen 2");
    const ToolResult broken = lint({write("falsch.lls", text)});
    EXPECT_EQ(broken.exit, 1);
    EXPECT_NE(broken.out.find("falsch.lls:20 Level 2 \"Mauer\": 4 verschiedene minimale "
                              "L\u00f6sungen, erlaubt sind 2"),
              std::string::npos)
        << broken.out;
    const ToolResult compiled =
        lumortest::runLumorPack({"compile", source, (dir / "p.llp").string()}, dir);
    ASSERT_EQ(compiled.exit, 0) << compiled.err;
    EXPECT_EQ(lint({(dir / "p.llp").string()}).exit, 0);
    EXPECT_EQ(lint({"--max-placements", "3", (dir / "p.llp").string()}).exit, 1);

    // A cross nobody needs is a decoy of the first level, counted once however many kinds
    // go unused, and counted together over several files.
    std::string decoyed = Source;
    decoyed.replace(decoyed.find("| \u2510 1"), 0, "| + 1 | \u250C 1 ");
    const std::string second = write("koeder.lls", decoyed);
    const ToolResult both = lint({source, second});
    EXPECT_NE(both.out.find("Probe: 1 von 2 Levels\n  Zusammen: 1 von 4 Levels (25 %)"),
              std::string::npos)
        << both.out;
    const auto counted = nlohmann::json::parse(lint({"--json", source, second}).out);
    EXPECT_EQ(counted["packs"][0]["decoy_levels"], 0);
    EXPECT_EQ(counted["packs"][1]["decoy_levels"], 1);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"--bogus", source},
                                                {(dir / "nichts.lls").string()},
                                                {source, "3"},
                                                {"--max-placements", "viele", source}})
        EXPECT_EQ(lint(bad).exit, 2);
}

// A level whose password an earlier level has already (letter case aside), or a later level
// without one, is reached by no password; --help explains every column of the table.
TEST_F(LintCommand, PasswordsNoLevelCanBeReachedByAndTheHelp) {
    std::string text = Source;
    text.replace(text.find("Passwort: MAUER"), 15, "Passwort: ecke");
    const ToolResult own = lint({"--strict", write("doppelt.lls", text)});
    EXPECT_EQ(own.exit, 1);
    EXPECT_NE(own.out.find("Level 2 \"Mauer\": das Passwort \"ecke\" hat schon Probe 1 "
                           "\"Ecke\": diesen Level erreicht kein Passwort"),
              std::string::npos)
        << own.out;
    EXPECT_EQ(lint({write("frei.lls", text)}).exit, 0);  // a rule only when asked for

    const ToolResult help = lint({"--help"});
    EXPECT_EQ(help.exit, 0);
    const std::string table = lint({write("probe.lls", Source)}).out;
    const std::string header = table.substr(0, table.find('\n'));
    std::istringstream columns(header);
    for (std::string column; columns >> column;)
        EXPECT_NE(help.out.find("\n  " + column + " "), std::string::npos) << column;
}

// An open board with forty stocked pieces of every kind cannot be measured in a blink: the
// level gives up at the time limit, says so in the table and the JSON, is judged by no
// rule, and the exit code tells. A limit however large means as long as it takes.
TEST_F(LintCommand, GivesUpOnALevelAtTheTimeLimitAndRefusesLimitsThatAreNone) {
    const std::string open =
        write("offen.lls",
              "Lumor-Levelquelle 1\nTitel: Offen\nLevel: Weit\nPasswort: WEIT\n"
              "Vorrat: 40 | # 5 | + 5 | \u250C 5 | \u2510 5 | \u2518 5 | \u2514 5 | ~ 5 "
              "| T 5\n" +
                  board({">", "", "", "", "", "", "", "", "", "", "", "..........R"}, '.'));
    const std::string probe = write("probe.lls", Source);
    const ToolResult table = lint({"--strict", "--time-limit", "0.001", probe, open});
    EXPECT_EQ(table.exit, 3) << table.out << table.err;
    EXPECT_NE(table.out.find("abgebrochen: nicht in der Zeitgrenze fertig"), std::string::npos)
        << table.out;
    EXPECT_EQ(table.out.find("Weit\": "), std::string::npos) << table.out;  // no finding

    const ToolResult json = lint({"--json", "--time-limit", "0.001", open});
    EXPECT_EQ(json.exit, 3);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["levels"][0]["gave_up"], true);
    EXPECT_FALSE(j["levels"][0].contains("fewest"));

    for (const char* huge : {"9.3e9", "1e300", "1e400"}) {
        const ToolResult r = lint({"--json", "--time-limit", huge, probe});
        EXPECT_EQ(r.exit, 0) << huge << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out)["levels"][1]["placements"], 4) << huge;
    }
    for (const char* none : {"0", "-1", "nan", "x", "5s", "", "-inf"}) {
        const ToolResult r = lint({"--time-limit", none, probe});
        EXPECT_EQ(r.exit, 2) << none;
        EXPECT_NE(r.err.find("ist keine Zeit in Sekunden"), std::string::npos) << none;
    }
}
