// lumor-pack: the level designers' command-line tool over the Lumor core.
#include "command.h"

#include <csignal>
#include <iostream>
#include <map>

#include <fcntl.h>
#include <unistd.h>

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

// Whatever a command printed must have reached standard output: a full disk or a closed
// pipe is an error like any other, not a success with half an answer.
static int checkedOutput(int code) {
    std::cout.flush();
    if (std::cout) return code;
    std::cerr << "lumor-pack: die Ausgabe kann nicht geschrieben werden\n";
    return lumorpack::ExitUsage;
}

static int dispatch(int argc, char** argv) {
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

int main(int argc, char** argv) {
    // A closed standard stream stays taken (by something that refuses writes), so that no
    // file opened later lands on it and receives what was meant for the terminal.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && ::open("/dev/null", O_RDONLY) != fd) return 2;
    // A reader that went away makes writes fail (and be reported) instead of killing us.
    std::signal(SIGPIPE, SIG_IGN);
    return checkedOutput(dispatch(argc, argv));
}
