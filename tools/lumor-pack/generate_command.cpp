// lumor-pack generate: a new level with its one solution, proven before it is written, as
// a level source. Every option has a default, so "--seed N OUT.lls" alone gives a level of
// middle difficulty.
#include "command.h"
#include "packjson.h"

#include "app/files.h"
#include "generator/generator.h"
#include "levels/levelsource.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace lumorpack {
namespace {

constexpr const char* GenerateUsage =
    "generate [--mechanik LISTE] [--feste] [--brett offen|mauern|gaenge] [--steine N] "
    "[--schwierigkeit leicht|mittel|schwer] [--bretter N] --seed N AUSGABE.lls";

constexpr const char* GenerateHelp = R"(Aufruf: lumor-pack generate [OPTIONEN] --seed N AUSGABE.lls

Baut einen Level und schreibt ihn als Levelquelle mit seiner Lösung. Bevor er ihn
anbietet, beweist er mit der exakten Suche: genau eine minimale Lösung, jede Art im
Vorrat wird gebraucht, der Vorrat erlaubt genau die nötigen Steine, kein Stein zu viel.
Derselbe Seed gibt denselben Level.

  --seed N               Startwert des Zufalls (nötig)
  --mechanik LISTE       Steine der Lösung, mit Komma getrennt: umlenker, teiler, sand,
                         kreuz, wand (Vorgabe: umlenker,teiler)
  --feste                Teiler, Kreuze oder Umlenker fest auf dem Brett
  --brett STIL           offen, mauern (Vorgabe) oder gaenge
  --steine N             Steine der Lösung (Vorgabe: nach der Schwierigkeit 2, 4 oder 6)
  --schwierigkeit S      leicht, mittel (Vorgabe) oder schwer, gemessen an den Versuchen
                         des Modellspielers (lumor-pack lint, Spalte "Versuche")
  --bretter N            so viele Bretter höchstens probieren (Vorgabe 20000)

Rückgabewert: 0 geschrieben, 1 kein Level hielt alle Zusagen, 2 falscher Aufruf oder
die Datei kann nicht geschrieben werden.
)";

bool parseNumber(const std::string& s, uint64_t& out) {
    if (s.empty() || s.size() > 18 ||
        !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    out = std::stoull(s);
    return true;
}

bool parseMechanics(const std::string& list, std::vector<lumor::Mechanic>& out) {
    out.clear();
    std::istringstream in(list);
    for (std::string word; std::getline(in, word, ',');) {
        lumor::Mechanic m;
        if (word == "umlenker")
            m = lumor::Mechanic::Deflector;
        else if (word == "teiler")
            m = lumor::Mechanic::Splitter;
        else if (word == "sand")
            m = lumor::Mechanic::Sand;
        else if (word == "kreuz")
            m = lumor::Mechanic::Cross;
        else if (word == "wand")
            m = lumor::Mechanic::Wall;
        else
            return false;
        if (std::find(out.begin(), out.end(), m) == out.end()) out.push_back(m);
    }
    return !out.empty();
}

int usage(const std::string& why) {
    std::cerr << why << "\nAufruf: lumor-pack " << GenerateUsage << '\n';
    return ExitUsage;
}

int generate(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::cout << GenerateHelp;
        return ExitOk;
    }
    lumor::GeneratorOptions options;
    bool seeded = false;
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued = a == "--seed" || a == "--mechanik" || a == "--brett" ||
                            a == "--steine" || a == "--schwierigkeit" || a == "--bretter";
        if (valued && i + 1 >= args.size()) return usage(a + " braucht einen Wert");
        const std::string v = valued ? args[i + 1] : std::string();
        uint64_t n = 0;
        if (a == "--seed") {
            if (!parseNumber(v, n)) return usage("\"" + v + "\" ist kein Seed (0, 1, 2, ...)");
            options.seed = n;
            seeded = true;
        } else if (a == "--mechanik") {
            if (!parseMechanics(v, options.mechanics))
                return usage("\"" + v + "\": erlaubt sind umlenker, teiler, sand, kreuz, wand");
        } else if (a == "--brett") {
            if (v == "offen")
                options.style = lumor::BoardStyle::Open;
            else if (v == "mauern")
                options.style = lumor::BoardStyle::Walled;
            else if (v == "gaenge")
                options.style = lumor::BoardStyle::Corridors;
            else
                return usage("\"" + v + "\": erlaubt sind offen, mauern, gaenge");
        } else if (a == "--steine") {
            if (!parseNumber(v, n) || n < 1 || n > 8)
                return usage("\"" + v + "\": erlaubt sind 1 bis 8 Steine");
            options.pieces = static_cast<int>(n);
        } else if (a == "--schwierigkeit") {
            if (v == "leicht")
                options.difficulty = lumor::Difficulty::Easy;
            else if (v == "mittel")
                options.difficulty = lumor::Difficulty::Middle;
            else if (v == "schwer")
                options.difficulty = lumor::Difficulty::Hard;
            else
                return usage("\"" + v + "\": erlaubt sind leicht, mittel, schwer");
        } else if (a == "--bretter") {
            if (!parseNumber(v, n) || n < 1 || n > 1000000)
                return usage("\"" + v + "\": erlaubt sind 1 bis 1000000 Bretter");
            options.attempts = static_cast<int>(n);
        } else if (a == "--feste") {
            options.fixedElements = true;
        } else if (a.rfind("--", 0) == 0 || !out.empty()) {
            return usage("\"" + a + "\" versteht generate nicht");
        } else {
            out = a;
        }
        if (valued) ++i;
    }
    if (!seeded) return usage("--seed fehlt");
    if (out.empty()) return usage("die Ausgabedatei fehlt");

    const std::optional<lumor::GeneratedLevel> level = lumor::generateLevel(options);
    if (!level) {
        std::cerr << "Kein Level nach " << options.attempts
                  << " Brettern hielt alle Zusagen; ein anderer Seed oder mehr --bretter "
                     "helfen\n";
        return ExitRefused;
    }
    lumor::LevelSource source;
    source.header.PackTitle = "Generiert";
    lumor::SourceLevel l;
    l.record = level->record;
    l.bestLeft = 0;
    std::vector<lumor::SourcePiece> pieces;
    for (const lumor::PlacedPiece& p : level->solution) pieces.push_back({p.slot, p.x, p.y});
    l.solution = pieces;
    source.levels.push_back(l);
    const lumor::SaveStatus saved = lumor::saveFileAtomically(out, lumor::writeLevelSource(source));
    if (saved != lumor::SaveStatus::Ok) {
        std::cerr << out << ": " << terminalText(lumor::saveFailureText(saved)) << '\n';
        return ExitUsage;
    }
    std::cout << out << ": " << level->solution.size() << " Steine, " << level->player.tries
              << " Versuche des Modellspielers, " << level->attempts << " Bretter probiert\n";
    return ExitOk;
}

const bool registered = registerCommand({"generate", GenerateUsage, generate});

}  // namespace
}  // namespace lumorpack
