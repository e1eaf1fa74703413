// lumor-pack run: places pieces on a level as a player would and plays the beam run
// to its end, reporting the outcome and the sounds in the order the game plays them.
#include "command.h"
#include "packjson.h"

#include "levels/level.h"
#include "play/beamrun.h"
#include "play/cells.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace lumorpack {
namespace {

constexpr const char* RunUsage = "run DATEI LEVEL [FACH,X,Y ...]";

// "slot,x,y" as three decimal whole numbers.
bool parsePiece(const std::string& text, int (&v)[3]) {
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        const auto [next, ec] = std::from_chars(p, end, v[i]);
        if (ec != std::errc() || next == p) return false;
        p = next;
        if (i < 2) {
            if (p == end || *p != ',') return false;
            ++p;
        }
    }
    return p == end;
}

int runLevel(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        std::cerr << "Aufruf: lumor-pack " << RunUsage << '\n';
        return ExitUsage;
    }
    lumor::LevelRecord level;
    int code = ExitOk;
    if (!loadLevelArg(args[0], args[1], level, code)) return code;

    // The live stock counts start as the level's, and every piece placed lowers them,
    // as the board window's count labels do.
    std::array<int, 9> stock{};
    for (size_t i = 0; i < stock.size(); ++i) stock[i] = level.Stock[i];
    lumor::WorkingBoard board = lumor::BeamRun::boardOf(level);

    for (size_t n = 2; n < args.size(); ++n) {
        const std::string& arg = args[n];
        const std::string which = "Stein \"" + arg + "\": ";
        int v[3];
        if (!parsePiece(arg, v)) {
            std::cerr << which << "erwartet FACH,X,Y (drei ganze Zahlen, z. B. 3,4,7)\n";
            return ExitUsage;
        }
        const int slot = v[0], x = v[1], y = v[2];
        if (slot < 1 || slot > lumor::SlotCount) {
            std::cerr << which << "Fach " << slot << " gibt es nicht (1 bis 8)\n";
            return ExitRefused;
        }
        if (x < 0 || x >= lumor::BoardWidth || y < 0 || y >= lumor::BoardHeight) {
            std::cerr << which << "das Feld (" << x << "," << y
                      << ") liegt nicht auf dem Brett (X 0 bis 19, Y 0 bis 11)\n";
            return ExitRefused;
        }
        int32_t& cell = board[static_cast<size_t>(lumor::cellIndex(x, y))];
        if (cell != lumor::Empty) {
            std::cerr << which << "das Feld (" << x << "," << y << ") ist nicht leer (Code " << cell
                      << ")\n";
            return ExitRefused;
        }
        if (stock[0] <= 0) {
            std::cerr << which << "der Vorrat erlaubt insgesamt nur "
                      << std::max<int>(0, level.Stock[0]) << " Steine\n";
            return ExitRefused;
        }
        if (stock[static_cast<size_t>(slot)] <= 0) {
            std::cerr << which << "der Vorrat erlaubt aus Fach " << slot << " nur "
                      << std::max<int>(0, level.Stock[static_cast<size_t>(slot)]) << " Steine\n";
            return ExitRefused;
        }
        cell = lumor::codeOfSlot(slot);
        --stock[0];
        --stock[static_cast<size_t>(slot)];
    }

    lumor::BeamRun run;
    lumor::LevelRecord saved = level;
    run.start(board, stock, saved);
    std::vector<int> sounds;
    const lumor::RunResult r = run.runToEnd(&sounds);

    Json out;
    out["won"] = r.won();
    out["hits"] = r.hits;
    out["targets"] = r.targets;
    out["cell_steps"] = r.cellSteps;
    out["sounds"] = sounds;
    std::cout << out.dump() << '\n';
    return ExitOk;
}

[[maybe_unused]] const bool registered = registerCommand(
    {"run",
     std::string(RunUsage) + "  setzt Steine (Fach 1-8, Feld X,Y ab 0) und spielt den Strahl durch",
     runLevel});

}  // namespace
}  // namespace lumorpack
