#include "title/config.h"

#include "app/files.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace lumor {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<int32_t> readInt(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty()) return std::nullopt;
    int32_t value = 0;
    const char* end = line.data() + line.size();
    auto [ptr, ec] = std::from_chars(line.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;  // also refuses values past 32 bits
    return value;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::optional<bool> readBool(std::string_view line) {
    std::string_view t = trimBlanks(line);
    if (equalsNoCase(t, "#TRUE#")) return true;
    if (equalsNoCase(t, "#FALSE#")) return false;
    if (auto n = readInt(t)) return *n != 0;
    return std::nullopt;
}

const char* boolText(bool b) { return b ? "#TRUE#" : "#FALSE#"; }

}  // namespace

std::string formatConfig(const Config& config) {
    std::string out;
    out += std::to_string(config.PackIndex) + "\r\n";
    out += std::to_string(config.SkinIndex) + "\r\n";
    out += boolText(config.MusicOn);
    out += "\r\n";
    for (int k = 0; k < edition().optionCount; ++k) {
        out += boolText(config.Options[static_cast<size_t>(k)]);
        out += "\r\n";
    }
    return out;
}

int parseConfig(const std::string& text, Config& config) {
    std::string_view rest(text);
    int taken = 0;
    const int lines = configLineCount();
    while (taken < lines && !rest.empty()) {
        size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (taken < 2) {
            auto n = readInt(line);
            if (!n) break;
            (taken == 0 ? config.PackIndex : config.SkinIndex) = *n;
        } else {
            auto b = readBool(line);
            if (!b) break;
            if (taken == 2)
                config.MusicOn = *b;
            else
                config.Options[static_cast<size_t>(taken - 3)] = *b;
        }
        ++taken;
    }
    return taken;
}

bool readConfigFile(const std::string& path, Config& config) {
    std::string bytes;
    if (readRegularFile(path, MaxConfigFileBytes, bytes) != ReadStatus::Ok) return false;
    parseConfig(bytes, config);
    return true;
}

bool saveConfigFile(const std::string& path, const Config& config) {
    return saveFileAtomically(path, formatConfig(config), LinkPolicy::Refuse) == SaveStatus::Ok;
}

}  // namespace lumor
