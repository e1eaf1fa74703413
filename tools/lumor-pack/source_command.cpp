// lumor-pack compile / decompile: the readable level source and the ".llp" pack.
#include "command.h"
#include "packjson.h"

#include "app/random.h"
#include "levels/levelsource.h"
#include "levels/packfile.h"

#include <iostream>

namespace lumorpack {
namespace {

// Fillers come from a fixed seed, so a source always compiles to the same bytes and the
// build's packs only change when their source does.
constexpr uint64_t FillerSeed = 1252;

int compile(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "Aufruf: lumor-pack compile QUELLE AUSGABE.llp\n";
        return ExitUsage;
    }
    std::string text;
    int code;
    if (!readInputArg(args[0], text, code)) return code;
    const lumor::LevelSourceResult parsed = lumor::parseLevelSource(text);
    if (!parsed.ok) {
        std::cerr << args[0] << ": " << parsed.error << '\n';
        return ExitRefused;
    }
    lumor::SeededRandom random(FillerSeed);
    const lumor::PackWriteResult r =
        lumor::writePack(args[1], parsed.source.header, parsed.source.records(), random);
    if (!r.ok) {
        std::cerr << args[1] << ": " << terminalText(r.message) << '\n';
        return r.refused ? ExitRefused : ExitUsage;
    }
    return ExitOk;
}

int decompile(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::cerr << "Aufruf: lumor-pack decompile DATEI.llp\n";
        return ExitUsage;
    }
    lumor::PackContents pack;
    int code = ExitOk;
    if (!loadPackArg(args[0], pack, code)) return code;
    std::cout << lumor::writeLevelSource(pack.header, pack.levels);
    return ExitOk;
}

[[maybe_unused]] const bool registered =
    registerCommand({"compile",
                     "compile QUELLE AUSGABE.llp übersetzt eine Levelquelle in ein Levelpack",
                     compile}) &&
    registerCommand({"decompile",
                     "decompile DATEI.llp        gibt ein Levelpack als Levelquelle (UTF-8) aus",
                     decompile});

}  // namespace
}  // namespace lumorpack
