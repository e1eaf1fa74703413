// lumor-pack lint: the designers' measurements of every level of the packs or level
// sources given, as a table or as JSON, and exit 1 when a level breaks a rule given on
// the command line or declared in its source, 3 when a level's figures took longer than
// the time limit.
#include "command.h"
#include "packjson.h"
#include "timelimit.h"

#include "levels/cp1252.h"
#include "levels/levelsource.h"
#include "solver/lint.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

namespace lumorpack {
namespace {

constexpr const char* LintUsage =
    "lint [--json] [--strict] [--exact-allowance] [--max-placements N] [--no-decoys] "
    "[--no-opening-spares] [--min-distance N] [--rising] [--own-passwords] [--no-idea-repeats] "
    "[--time-limit SEKUNDEN] DATEI... [LEVEL]";

// Seconds a level's figures may take when no limit is given: a shipped level takes well
// under one, an open board with a large stock may take hours.
constexpr double DefaultSecondsPerLevel = 60;

// lumor-pack lint --help: what every column, symbol and rule means.
constexpr const char* LintHelp = R"(Aufruf: lumor-pack lint [OPTIONEN] DATEI... [LEVEL]

Misst jeden Level der Levelpacks (.llp) oder Levelquellen und prüft Regeln. Mit LEVEL
(1, 2, ...) nur den Level dieser Nummer in jeder Datei.

Spalten der Tabelle:
  Level      Nummer im Pack (bei mehreren Dateien: Datei.Level)
  Name       Name des Levels
  Vorrat     erlaubte Steine insgesamt, nach dem Doppelpunkt die Steine je Art
  Frei       leere Felder, auf die Steine gesetzt werden können
  Best       Steine, die die beste Lösung übrig lässt (wie der Lösungssucher)
  Min        die wenigsten Steine, die gewinnen
  Lös        verschiedene minimale Lösungen (gleiche Steine in anderer Reihenfolge
             zählen einmal); 0: keine Lösung im Rahmen des Vorrats
  Zwang      Felder, die jede minimale Lösung belegt / Steine einer minimalen Lösung
  Ungenutzt  Arten im Vorrat, die keine minimale Lösung braucht (Köder)
  Reserve    Lösungen mit mehr Steinen als nötig, die keine minimale enthalten;
             "-": der Vorrat erlaubt nicht mehr als nötig, "?": nicht gesucht, weil es
             zu viele minimale Lösungen gibt
  Leer       "ja": das Brett gewinnt schon ohne jeden Stein
  Aufwand    Schwierigkeit in Bit: wie schwer eine minimale Lösung für jemanden zu
             finden ist, der blind den Strahlen entlang baut
  Versuche   Schwierigkeit für einen Modellspieler: er baut Stein für Stein den
             Strahlen entlang, probiert zuerst, was die meisten Treffer bringt, und
             zählt die Starts bis zum ersten Sieg; ">": nach so vielen aufgegeben
  "-" in einer Spalte: der Level ist nicht lösbar oder wurde abgelehnt.
  "abgebrochen": die Zahlen des Levels waren nicht in der Zeitgrenze fertig.

Zeichen der Steine:
  #  Wand            +  Kreuz          ~  Sand           T  Teiler
  ┌ ┐ ┘ └  Umlenker; die Linien zeigen die beiden Seiten, die er verbindet

Unter der Tabelle:
  Nahe Paare   Levels, deren Bretter sich in weniger Zellen unterscheiden als
               --min-distance (sonst 10); Sternbilder zählen als gleich
  Gleiche Idee Levels, deren Lösungen gleich sind bis auf Drehen, Spiegeln und
               Verschieben
  Anstieg      Kendalls Tau der Versuche über die Reihenfolge des Packs:
               +1 steigt stetig, 0 ungeordnet, -1 fällt stetig
  Köder        je Pack die Levels mit einem Köder (Spalte "Ungenutzt" nicht leer)
               von den gemessenen Levels, bei mehreren Dateien auch zusammen
  Verstöße     jede gebrochene Regel: Datei[:Zeile] Level N "Name": was nicht stimmt

Regeln (ohne Option gilt nur, was eine Levelquelle selbst erklärt):
  --strict               alle Regeln unten, wie sie jeder mitgelieferte Level hält
  --exact-allowance      der Vorrat erlaubt genau die nötigen Steine
  --max-placements N     höchstens N minimale Lösungen (mit --strict: 3)
  --no-decoys            jede Art im Vorrat wird von einer minimalen Lösung gebraucht
  --no-opening-spares    überzählige Steine öffnen keine neuen Lösungen
  --min-distance N       je zwei Bretter unterscheiden sich in mindestens N Zellen
  --rising               die Versuche des Modellspielers steigen im Ganzen (Tau >= 0.6)
  --no-idea-repeats      keine zwei Levels haben dieselbe Lösung bis auf Drehen,
                         Spiegeln und Verschieben, außer einer erklärt "Ähnlich"
  --own-passwords        jeder Level nach dem ersten hat ein eigenes Passwort (Groß- und
                         Kleinschreibung zählen nicht): sonst erreicht ihn kein Passwort
  Mit --strict fallen außerdem Levels auf, die nicht lösbar sind oder deren leeres Brett
  schon gewinnt.

Zeit:
  --time-limit SEKUNDEN  höchstens so lange je Level (sonst 60); ein Level, dessen Zahlen
                         dann nicht fertig sind, heißt "abgebrochen" und wird nicht geprüft

Ausgabe:
  --json   dieselben Werte als JSON (Felder "levels", "pairs", "packs", "findings"; ein
           abgebrochener Level hat "gave_up": true und keine Zahlen)

Rückgabewert: 0 ohne Verstoß, 1 bei einem Verstoß oder einer abgelehnten Datei,
2 bei falschem Aufruf oder einer unlesbaren Datei, 3 wenn ein Level abgebrochen wurde.
)";

const char* const PieceChars[] = {"", "#", "+", "\u250C", "\u2510", "\u2518", "\u2514", "~", "T"};

bool isNumber(const std::string& s) {
    return !s.empty() && s.size() <= 6 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the text is a level source: its first line that is no comment is the magic.
bool looksLikeSource(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t a = line.find_first_not_of(" \t");
        if (a == std::string::npos || line[a] == ';') continue;
        return line.compare(a, lumor::LevelSourceMagic.size(), lumor::LevelSourceMagic) == 0;
    }
    return false;
}

bool loadLintPack(const std::string& file, lumor::LintPack& out, int& code) {
    std::string bytes;
    if (!readInputArg(file, bytes, code)) return false;
    out.file = file;
    const std::string stem = std::filesystem::path(file).stem().string();
    if (looksLikeSource(bytes)) {
        const lumor::LevelSourceResult parsed = lumor::parseLevelSource(bytes);
        if (!parsed.ok) {
            std::cerr << file << ": " << parsed.error << '\n';
            code = ExitRefused;
            return false;
        }
        out.title = parsed.source.header.PackTitle;
        out.harderThan = parsed.source.harderThan;
        for (const lumor::SourceLevel& l : parsed.source.levels)
            out.levels.push_back({l.record, l.intent, l.reason, l.bestLeft, l.solution, l.line});
    } else {
        lumor::PackContents pack;
        if (!loadPackArg(file, pack, code)) return false;
        out.title = pack.header.PackTitle;
        for (const lumor::LevelRecord& r : pack.levels)
            out.levels.push_back({r, {}, {}, {}, {}, 0});
    }
    if (out.title.empty()) out.title = lumor::cp1252::fromUtf8(stem).value_or(stem);
    code = ExitOk;
    return true;
}

std::string stockText(const lumor::LevelAnalysis& a) {
    std::string s = std::to_string(a.allowance) + ":";
    for (int slot = 1; slot <= lumor::SlotCount; ++slot)
        if (a.stock[static_cast<size_t>(slot)] > 0)
            s += std::string(" ") + PieceChars[slot] +
                 std::to_string(a.stock[static_cast<size_t>(slot)]);
    return s;
}

std::string kindsText(const std::vector<int>& slots) {
    std::string s;
    for (const int slot : slots) s += PieceChars[slot];
    return s.empty() ? "-" : s;
}

// Pads or cuts UTF-8 text to a width in characters.
std::string column(const std::string& text, size_t width, bool right = false) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && chars == width) break;
        chars += starts;
        out += text[i];
    }
    const std::string pad(width - chars, ' ');
    return right ? pad + out : out + pad;
}

std::string decimal(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// The model player's tries; ">" when it gave up at its cap.
std::string triesText(const lumor::PlayerTries& t) {
    return (t.capped ? ">" : "") + std::to_string(t.tries);
}

std::string levelId(const std::vector<lumor::LintPack>& packs, size_t pack, int number) {
    return packs.size() > 1 ? std::to_string(pack + 1) + "." + std::to_string(number)
                            : std::to_string(number);
}

// Per pack: the levels with a decoy, a kind in stock that no minimal placement uses, and
// the levels measured (solvable and finished in time).
std::vector<std::pair<int, int>> decoyCounts(size_t packCount, const lumor::LintReport& report) {
    std::vector<std::pair<int, int>> out(packCount);
    for (const lumor::LintLevelReport& r : report.levels) {
        if (r.gaveUp || !r.analysis.ok || !r.analysis.solvable()) continue;
        out[r.pack].first += r.analysis.unusedKinds.empty() ? 0 : 1;
        ++out[r.pack].second;
    }
    return out;
}

void printTable(const std::vector<lumor::LintPack>& packs, const lumor::LintReport& report) {
    std::cout << column("Level", 6) << column("Name", 21) << column("Vorrat", 20)
              << column("Frei", 5, true) << column("Best", 5, true) << column("Min", 4, true)
              << column("Lös", 6, true) << column("Zwang", 7, true) << "  "
              << column("Ungenutzt", 10) << column("Reserve", 8, true) << column("Leer", 5, true)
              << column("Aufwand", 8, true) << column("Versuche", 10, true) << '\n';
    for (const lumor::LintLevelReport& r : report.levels) {
        const lumor::LintLevel& l = packs[r.pack].levels[static_cast<size_t>(r.number - 1)];
        const lumor::LevelAnalysis& a = r.analysis;
        std::cout << column(levelId(packs, r.pack, r.number), 6)
                  << column(lumor::cp1252::toUtf8(l.record.Name), 20) << ' '
                  << column(stockText(a), 20) << column(std::to_string(a.freeCells), 5, true);
        if (a.ok && r.gaveUp) {
            std::cout << "  abgebrochen: nicht in der Zeitgrenze fertig\n";
            continue;
        }
        if (!a.ok || !a.solvable()) {
            std::cout << column("-", 5, true) << column("-", 4, true) << column("0", 6, true)
                      << column("-", 7, true) << "  " << column("-", 10) << column("-", 8, true)
                      << column(a.bareWins ? "ja" : "nein", 5, true) << column("-", 8, true)
                      << column("-", 10, true) << '\n';
            continue;
        }
        const std::string spare = a.allowance == a.fewest ? "-"
                                  : a.sparesSearched      ? std::to_string(a.spareOpened)
                                                          : "?";
        std::cout << column(std::to_string(a.bestLeft), 5, true)
                  << column(std::to_string(a.fewest), 4, true)
                  << column(std::to_string(a.placementCount), 6, true)
                  << column(std::to_string(a.forced.size()) + "/" + std::to_string(a.fewest), 7,
                            true)
                  << "  " << column(kindsText(a.unusedKinds), 10) << column(spare, 8, true)
                  << column(a.bareWins ? "ja" : "nein", 5, true)
                  << column(decimal(a.difficulty), 8, true) << column(triesText(r.player), 10, true)
                  << '\n';
    }
    // "1.4 \"Name\" und 2.7 \"Name\"" for a pair of levels.
    const auto pairText = [&packs](const lumor::NearPair& p) {
        const auto named = [&packs](size_t pack, int number) {
            return levelId(packs, pack, number) + " \"" +
                   lumor::cp1252::toUtf8(
                       packs[pack].levels[static_cast<size_t>(number - 1)].record.Name) +
                   "\"";
        };
        return named(p.packA, p.levelA) + " und " + named(p.packB, p.levelB);
    };
    if (!report.pairs.empty()) {
        std::cout << "\nNahe Paare (verschiedene Zellen):\n";
        for (const lumor::NearPair& p : report.pairs)
            std::cout << "  " << pairText(p) << ": " << p.cells << '\n';
    }
    if (!report.ideaPairs.empty()) {
        std::cout << "\nGleiche Idee (dieselbe Lösung, gedreht, gespiegelt oder verschoben):\n";
        for (const lumor::NearPair& p : report.ideaPairs) std::cout << "  " << pairText(p) << '\n';
    }
    if (!report.trends.empty()) {
        std::cout << "\nAnstieg der Versuche (Kendalls Tau, +1 = stetig steigend):\n";
        for (size_t p = 0; p < report.trends.size(); ++p) {
            // Lessons and levels without figures are left out of the rise; say so.
            const size_t all = packs[p].levels.size();
            const auto counted = static_cast<size_t>(report.trends[p].counted);
            std::cout << "  " << lumor::cp1252::toUtf8(packs[p].title) << ": "
                      << decimal(report.trends[p].tau) << " über " << counted;
            if (counted != all) std::cout << " von " << all;
            std::cout << " Levels"
                      << (counted != all ? " (ohne Einführungen und Levels ohne Zahlen)" : "")
                      << '\n';
        }
    }
    const std::vector<std::pair<int, int>> decoys = decoyCounts(packs.size(), report);
    int withDecoy = 0, measured = 0;
    std::cout << "\nKöder (Levels mit einer Art im Vorrat, die keine minimale Lösung braucht):\n";
    for (size_t p = 0; p < packs.size(); ++p) {
        std::cout << "  " << lumor::cp1252::toUtf8(packs[p].title) << ": " << decoys[p].first
                  << " von " << decoys[p].second << " Levels\n";
        withDecoy += decoys[p].first;
        measured += decoys[p].second;
    }
    if (packs.size() > 1 && measured > 0)
        std::cout << "  Zusammen: " << withDecoy << " von " << measured << " Levels ("
                  << 100 * withDecoy / measured << " %)\n";
    if (!report.findings.empty()) {
        std::cout << "\nVerstöße:\n";
        for (const lumor::LintFinding& f : report.findings) {
            std::cout << "  " << packs[f.pack].file;
            if (f.level) {
                const lumor::LintLevel& l = packs[f.pack].levels[static_cast<size_t>(f.level - 1)];
                if (l.line) std::cout << ':' << l.line;
                std::cout << " Level " << f.level << " \"" << lumor::cp1252::toUtf8(l.record.Name)
                          << '"';
            }
            std::cout << ": " << f.text << '\n';
        }
    }
}

Json placementJson(const lumor::Placement& p) {
    Json out = Json::array();
    for (const lumor::PlacedPiece& piece : p)
        out.push_back(Json::array({piece.slot, piece.x, piece.y}));
    return out;
}

void printJson(const std::vector<lumor::LintPack>& packs, const lumor::LintReport& report) {
    const std::vector<std::pair<int, int>> decoys = decoyCounts(packs.size(), report);
    Json out;
    out["levels"] = Json::array();
    for (const lumor::LintLevelReport& r : report.levels) {
        const lumor::LintLevel& l = packs[r.pack].levels[static_cast<size_t>(r.number - 1)];
        const lumor::LevelAnalysis& a = r.analysis;
        Json j;
        j["pack"] = r.pack;
        j["level"] = r.number;
        j["name"] = lumor::cp1252::toUtf8(l.record.Name);
        j["allowance"] = a.allowance;
        j["stock"] = Json::array();
        for (int s = 1; s <= lumor::SlotCount; ++s)
            j["stock"].push_back(a.stock[static_cast<size_t>(s)]);
        j["free_cells"] = a.freeCells;
        j["bare_board_wins"] = a.bareWins;
        if (!a.ok) {
            j["refused"] = lumor::cp1252::toUtf8(a.message);
        } else if (r.gaveUp) {
            j["gave_up"] = true;
        } else {
            j["best_left"] = a.bestLeft;
            j["fewest"] = a.fewest;
            j["placements"] = a.placementCount;
            j["forced"] = Json::array();
            for (const auto& [x, y] : a.forced) j["forced"].push_back(Json::array({x, y}));
            j["unused_kinds"] = a.unusedKinds;
            if (a.sparesSearched)
                j["spare_opened"] = a.spareOpened;
            else
                j["spare_opened"] = nullptr;
            j["difficulty"] = std::round(a.difficulty * 100) / 100;
            j["player_tries"] = r.player.tries;
            j["player_capped"] = r.player.capped;
            j["example"] = a.placements.empty() ? Json() : placementJson(a.placements.front());
            if (a.spareOpened) j["spare_example"] = placementJson(a.spareExample);
        }
        out["levels"].push_back(j);
    }
    out["pairs"] = Json::array();
    for (const lumor::NearPair& p : report.pairs)
        out["pairs"].push_back(Json{{"a", Json{{"pack", p.packA}, {"level", p.levelA}}},
                                    {"b", Json{{"pack", p.packB}, {"level", p.levelB}}},
                                    {"cells", p.cells}});
    out["idea_pairs"] = Json::array();
    for (const lumor::NearPair& p : report.ideaPairs)
        out["idea_pairs"].push_back(Json{{"a", Json{{"pack", p.packA}, {"level", p.levelA}}},
                                         {"b", Json{{"pack", p.packB}, {"level", p.levelB}}}});
    out["packs"] = Json::array();
    for (size_t p = 0; p < packs.size(); ++p) {
        Json j{{"file", packs[p].file},
               {"title", lumor::cp1252::toUtf8(packs[p].title)},
               {"decoy_levels", decoys[p].first}};
        if (p < report.trends.size()) {
            j["tau"] = std::round(report.trends[p].tau * 1000) / 1000;
            j["counted"] = report.trends[p].counted;
        }
        out["packs"].push_back(j);
    }
    out["findings"] = Json::array();
    for (const lumor::LintFinding& f : report.findings)
        out["findings"].push_back(
            Json{{"pack", f.pack}, {"level", f.level}, {"rule", f.rule}, {"text", f.text}});
    std::cout << out.dump() << '\n';
}

bool parseCount(const std::string& arg, int& out) {
    if (!isNumber(arg)) {
        std::cerr << '"' << arg << "\" ist keine Anzahl\n";
        return false;
    }
    out = std::stoi(arg);
    return true;
}

int lint(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::cout << LintHelp;
        return ExitOk;
    }
    lumor::LintRules rules;
    bool json = false;
    double seconds = DefaultSecondsPerLevel;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int n = 0;
        if (a == "--json") {
            json = true;
        } else if (a == "--strict") {
            const auto keep = rules;
            rules = lumor::LintRules::strict();
            if (keep.maxPlacements) rules.maxPlacements = keep.maxPlacements;
            if (keep.minDistance) rules.minDistance = keep.minDistance;
        } else if (a == "--exact-allowance") {
            rules.exactAllowance = true;
        } else if (a == "--no-decoys") {
            rules.noDecoys = true;
        } else if (a == "--no-opening-spares") {
            rules.noOpeningSpares = true;
        } else if (a == "--rising") {
            rules.rising = true;
        } else if (a == "--no-idea-repeats") {
            rules.noIdeaRepeats = true;
        } else if (a == "--own-passwords") {
            rules.ownPasswords = true;
        } else if (a == "--time-limit" && i + 1 < args.size()) {
            if (!parseTimeLimit(args[++i], seconds)) return ExitUsage;
        } else if ((a == "--max-placements" || a == "--min-distance") && i + 1 < args.size()) {
            if (!parseCount(args[++i], n)) return ExitUsage;
            (a == "--max-placements" ? rules.maxPlacements : rules.minDistance) = n;
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "Aufruf: lumor-pack " << LintUsage << '\n';
            return ExitUsage;
        } else {
            rest.push_back(a);
        }
    }
    int only = 0;
    if (rest.size() >= 2 && isNumber(rest.back())) {
        only = std::stoi(rest.back());
        rest.pop_back();
        if (only < 1) {
            std::cerr << '"' << args.back() << "\" ist keine Levelnummer (1, 2, 3, ...)\n";
            return ExitUsage;
        }
    }
    if (rest.empty()) {
        std::cerr << "Aufruf: lumor-pack " << LintUsage << '\n';
        return ExitUsage;
    }
    std::vector<lumor::LintPack> packs(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        int code = ExitOk;
        if (!loadLintPack(rest[i], packs[i], code)) return code;
        if (only && static_cast<size_t>(only) > packs[i].levels.size()) {
            std::cerr << "Level " << only << " gibt es nicht: " << rest[i] << " hat "
                      << packs[i].levels.size() << " Levels\n";
            return ExitUsage;
        }
    }
    const unsigned cores = std::thread::hardware_concurrency();
    const lumor::LintReport report =
        lumor::lintPacks(packs, rules, only, static_cast<int>(std::clamp(cores, 1u, 8u)), seconds);
    if (json)
        printJson(packs, report);
    else
        printTable(packs, report);
    if (std::any_of(report.levels.begin(), report.levels.end(),
                    [](const lumor::LintLevelReport& r) { return r.gaveUp; }))
        return ExitGaveUp;
    return report.findings.empty() ? ExitOk : ExitRefused;
}

const bool registered = registerCommand({"lint", LintUsage, lint});

}  // namespace
}  // namespace lumorpack
