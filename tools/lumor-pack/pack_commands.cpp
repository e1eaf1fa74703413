// lumor-pack verify / dump / build: checking a pack, turning it into JSON and back.
#include "command.h"
#include "packjson.h"

#include "app/random.h"
#include "levels/packfile.h"

#include <iostream>
#include <random>
#include <sstream>

namespace lumorpack {
namespace {

int usage(const std::string& line) {
    std::cerr << "Aufruf: lumor-pack " << line << '\n';
    return ExitUsage;
}

// Pretty JSON that keeps lists of numbers on one line: a level's column of 12 codes or
// its 16 stock values reads as one row instead of a screen full of lines.
void writeJson(std::ostream& out, const Json& j, int indent) {
    const std::string pad(static_cast<size_t>(indent) * 2, ' ');
    const std::string innerPad(static_cast<size_t>(indent + 1) * 2, ' ');
    if (j.is_object()) {
        if (j.empty()) {
            out << "{}";
            return;
        }
        out << "{\n";
        bool first = true;
        for (const auto& [key, value] : j.items()) {
            if (!first) out << ",\n";
            first = false;
            out << innerPad << Json(key).dump() << ": ";
            writeJson(out, value, indent + 1);
        }
        out << '\n' << pad << '}';
    } else if (j.is_array()) {
        bool flat = true;
        for (const auto& e : j) flat = flat && e.is_number();
        if (flat || j.empty()) {
            out << j.dump(-1, ' ', false, Json::error_handler_t::strict);
            return;
        }
        out << "[\n";
        bool first = true;
        for (const auto& e : j) {
            if (!first) out << ",\n";
            first = false;
            out << innerPad;
            writeJson(out, e, indent + 1);
        }
        out << '\n' << pad << ']';
    } else {
        out << j.dump(-1, ' ', false, Json::error_handler_t::strict);
    }
}

int verify(const std::vector<std::string>& args) {
    if (args.size() != 1) return usage("verify DATEI");
    lumor::PackContents pack;
    int code;
    if (!loadPackArg(args[0], pack, code)) return code;
    std::cout << pack.levels.size() << '\n';
    return ExitOk;
}

int dump(const std::vector<std::string>& args) {
    if (args.size() != 1) return usage("dump DATEI");
    lumor::PackContents pack;
    int code;
    if (!loadPackArg(args[0], pack, code)) return code;
    std::ostringstream text;
    writeJson(text, packToJson(pack), 0);
    text << '\n';
    std::cout << text.str();
    return ExitOk;
}

int build(const std::vector<std::string>& args) {
    if (args.size() != 2) return usage("build JSON AUSGABE.llp");
    std::string text;
    int code;
    if (!readInputArg(args[0], text, code)) return code;
    Json j;
    std::string error;
    if (!parseJson(text, j, error)) {
        std::cerr << args[0] << ": " << error << '\n';
        return ExitRefused;
    }
    lumor::PackContents pack;
    if (!packFromJson(j, pack, error)) {
        std::cerr << args[0] << ": " << error << '\n';
        return ExitRefused;
    }
    lumor::SeededRandom random(std::random_device{}());
    const lumor::PackWriteResult r = lumor::writePack(args[1], pack.header, pack.levels, random);
    if (!r.ok) {
        std::cerr << args[1] << ": " << terminalText(r.message) << '\n';
        return r.refused ? ExitRefused : ExitUsage;
    }
    return ExitOk;
}

[[maybe_unused]] const bool registered =
    registerCommand(
        {"verify",
         "verify DATEI               prüft ein Levelpack und gibt die Zahl seiner Levels aus",
         verify}) &&
    registerCommand(
        {"dump", "dump DATEI                 gibt ein Levelpack als JSON (UTF-8) aus", dump}) &&
    registerCommand(
        {"build", "build JSON AUSGABE.llp     schreibt ein Levelpack aus JSON, wie dump es ausgibt",
         build});

}  // namespace
}  // namespace lumorpack
