#include "editor/recovery.h"

#include "app/files.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace lumor {

namespace {

const std::string Magic = "Lumor-Editor-Sicherung 1";
constexpr uint64_t MaxRecoveryBytes = 4 * 1024 * 1024;

// A text as hexadecimal bytes; "-" for the empty text, so that every text is one word.
std::string hex(const std::string& text) {
    if (text.empty()) return "-";
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * text.size());
    for (const char c : text) {
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

std::optional<std::string> unhex(const std::string& word) {
    if (word == "-") return std::string();
    if (word.empty() || word.size() % 2 != 0) return std::nullopt;
    std::string out;
    for (size_t i = 0; i < word.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(&word[i], &word[i] + 2, value, 16);
        if (error != std::errc() || end != &word[i] + 2) return std::nullopt;
        out += static_cast<char>(value);
    }
    return out;
}

template <typename T>
bool number(const std::string& word, T& out) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), out);
    return error == std::errc() && end == word.data() + word.size();
}

// FNV-1a: a short, stable name for any path.
std::string hash(const std::string& text) {
    uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// The words of one line, which must begin with `key`.
std::optional<std::vector<std::string>> line(std::istringstream& in, const char* key) {
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    std::istringstream words(text);
    std::vector<std::string> out;
    for (std::string w; words >> w;) out.push_back(w);
    if (out.empty() || out.front() != key) return std::nullopt;
    out.erase(out.begin());
    return out;
}

}  // namespace

std::string recoveryBytes(const RecoveryCopy& copy) {
    std::ostringstream out;
    out << Magic << '\n'
        << "ordner " << hex(copy.programFolder) << '\n'
        << "pack " << hex(copy.packPath) << '\n'
        << "zeit " << copy.savedAt << '\n'
        << "gezeigt " << copy.current << '\n';
    const PackHeader& h = copy.header;
    out << "kopf";
    for (const std::string* text : {&h.PackAuthor, &h.PackRemark, &h.PackEndMessage, &h.PackLink,
                                    &h.PackTitle, &h.PackPassword})
        out << ' ' << hex(*text);
    out << '\n';
    for (const LevelRecord& l : copy.levels) {
        out << "level " << hex(l.Name) << ' ' << hex(l.Password);
        for (const int16_t c : l.Cells) out << ' ' << c;
        for (const int16_t s : l.Stock) out << ' ' << s;
        out << '\n';
    }
    out << "ende " << copy.levels.size() << '\n';
    return out.str();
}

std::optional<RecoveryCopy> parseRecovery(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string first;
    if (!std::getline(in, first) || first != Magic) return std::nullopt;
    RecoveryCopy copy;
    const auto hexLine = [&](const char* key, std::string& out) {
        const auto words = line(in, key);
        if (!words || words->size() != 1) return false;
        const auto plain = unhex(words->front());
        if (plain) out = *plain;
        return plain.has_value();
    };
    const auto whole = [&](const char* key, auto& out) {
        const auto words = line(in, key);
        return words && words->size() == 1 && number(words->front(), out);
    };
    if (!hexLine("ordner", copy.programFolder) || !hexLine("pack", copy.packPath) ||
        !whole("zeit", copy.savedAt) || !whole("gezeigt", copy.current))
        return std::nullopt;
    const auto head = line(in, "kopf");
    if (!head || head->size() != 6) return std::nullopt;
    PackHeader& h = copy.header;
    std::string* fields[] = {&h.PackAuthor, &h.PackRemark, &h.PackEndMessage,
                             &h.PackLink,   &h.PackTitle,  &h.PackPassword};
    for (size_t i = 0; i < 6; ++i) {
        const auto plain = unhex((*head)[i]);
        if (!plain) return std::nullopt;
        *fields[i] = *plain;
    }
    for (;;) {
        std::string text;
        if (!std::getline(in, text)) return std::nullopt;
        std::istringstream words(text);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.size() == 2 && w[0] == "ende") {
            size_t count = 0;
            if (!number(w[1], count) || count != copy.levels.size() || copy.levels.empty() ||
                count > static_cast<size_t>(MaxLevels) || copy.current < 0 ||
                copy.current >= static_cast<int>(count))
                return std::nullopt;
            return copy;
        }
        constexpr size_t Cells = CellCount, Stocks = StockEntries, Words = 3 + Cells + Stocks;
        if (w.size() != Words || w[0] != "level" ||
            copy.levels.size() >= static_cast<size_t>(MaxLevels))
            return std::nullopt;
        LevelRecord l;
        const auto name = unhex(w[1]), password = unhex(w[2]);
        if (!name || !password) return std::nullopt;
        l.Name = *name;
        l.Password = *password;
        for (size_t i = 0; i < Cells + Stocks; ++i) {
            int16_t v = 0;
            if (!number(w[3 + i], v)) return std::nullopt;
            (i < Cells ? l.Cells[i] : l.Stock[i - Cells]) = v;
        }
        copy.levels.push_back(std::move(l));
    }
}

std::string recoveryPrefix(const std::string& programFolder) {
    return "editor-" + hash(programFolder) + "-";
}

std::string recoveryFileName(const std::string& programFolder, const std::string& packPath) {
    return recoveryPrefix(programFolder) + (packPath.empty() ? "unsaved" : hash(packPath)) +
           ".recovery";
}

std::vector<std::pair<std::string, RecoveryCopy>> findRecoveryCopies(
    const std::string& folder, const std::string& programFolder) {
    std::vector<std::pair<std::string, RecoveryCopy>> found;
    const std::string prefix = recoveryPrefix(programFolder);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        std::string bytes;
        if (readRegularFile(entry.path().string(), MaxRecoveryBytes, bytes) != ReadStatus::Ok)
            continue;
        std::optional<RecoveryCopy> copy = parseRecovery(bytes);
        // The hash names the folder; the copy itself must name it too.
        if (copy && copy->programFolder == programFolder)
            found.emplace_back(entry.path().string(), std::move(*copy));
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.second.savedAt > b.second.savedAt; });
    return found;
}

bool writeRecoveryFile(const std::string& path, const std::string& bytes) {
    return saveFileAtomically(path, bytes, LinkPolicy::Refuse) == SaveStatus::Ok;
}

}  // namespace lumor
