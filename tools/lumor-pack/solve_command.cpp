// lumor-pack solve: the solution finder's exhaustive search (or, with --fast, the fast
// search) over one level of a pack, as one line of JSON.
#include "command.h"
#include "packjson.h"

#include "levels/level.h"
#include "solver/fastsearch.h"
#include "solver/search.h"

#include <iostream>

namespace lumorpack {
namespace {

constexpr const char* SolveUsage = "solve [--fast] DATEI LEVEL";

Json arrangementJson(const std::vector<lumor::Piece>& pieces) {
    Json out = Json::array();
    for (const lumor::Piece& p : pieces) out.push_back(Json::array({p.Slot, p.X, p.Y}));
    return out;
}

int solve(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool fast = false;
    for (const std::string& a : args) {
        if (a == "--fast")
            fast = true;
        else
            rest.push_back(a);
    }
    if (rest.size() != 2) {
        std::cerr << "Aufruf: lumor-pack " << SolveUsage << '\n';
        return ExitUsage;
    }
    lumor::LevelRecord level;
    int code = ExitOk;
    if (!loadLevelArg(rest[0], rest[1], level, code)) return code;

    Json out;
    if (fast) {
        const lumor::FastResult r = lumor::fastSolve(level);
        if (!r.ok) {
            std::cerr << terminalText(r.message) << '\n';
            return ExitRefused;
        }
        out["best_left"] = r.bestLeft;
        out["best"] = arrangementJson(r.best);
    } else {
        lumor::SolutionSearch search;
        if (!search.load(level)) {
            std::cerr << terminalText(search.loadMessage()) << '\n';
            return ExitRefused;
        }
        search.run();
        out["best_left"] = search.bestLeft();
        out["solutions"] = search.solutionCount();
        out["tried"] = search.triedCount();
        out["checked"] = search.checkedCount();
        out["best"] = arrangementJson(search.bestArrangement());
    }
    std::cout << out.dump() << '\n';
    return ExitOk;
}

const bool registered = registerCommand({"solve", SolveUsage, solve});

}  // namespace
}  // namespace lumorpack
