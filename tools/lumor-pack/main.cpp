// lumor-pack: the level designers' command-line tool over the Lumor core.
#include "command.h"

#include <iostream>
#include <map>

namespace lumorpack {

static std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> commands;
    return commands;
}

bool registerCommand(Command command) {
    auto name = command.name;
    registry().emplace(std::move(name), std::move(command));
    return true;
}

}  // namespace lumorpack

static void printUsage(std::ostream& out) {
    out << "Aufruf: lumor-pack BEFEHL ...\n";
    for (const auto& [name, cmd] : lumorpack::registry())
        out << "  lumor-pack " << cmd.usage << '\n';
}

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "help" || std::string(argv[1]) == "--help") {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? lumorpack::ExitUsage : lumorpack::ExitOk;
    }
    const auto it = lumorpack::registry().find(argv[1]);
    if (it == lumorpack::registry().end()) {
        std::cerr << "Unbekannter Befehl: " << argv[1] << '\n';
        printUsage(std::cerr);
        return lumorpack::ExitUsage;
    }
    try {
        return it->second.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "Fehler: " << e.what() << '\n';
        return lumorpack::ExitUsage;
    }
}
