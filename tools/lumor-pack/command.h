// lumor-pack's commands register themselves; main() dispatches by name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumorpack {

// Exit codes shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1;  // damaged pack, refused write, invalid content
inline constexpr int ExitUsage = 2;    // unreadable file, bad usage

struct Command {
    std::string name;
    std::string usage;  // one line, shown by "lumor-pack help"
    std::function<int(const std::vector<std::string>& args)> run;
};

// Registers a command; call from a static initialiser in the command's own file.
bool registerCommand(Command command);

}  // namespace lumorpack
