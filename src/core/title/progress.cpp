#include "title/progress.h"

#include "app/paths.h"

#include <charconv>

namespace lumor {

namespace {

constexpr int MaxLevelNumber = 1'000'000;

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The field with its escapes undone; nullopt for a backslash that escapes nothing known.
std::optional<std::string> unescaped(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return std::nullopt;
        switch (s[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace

Progress Progress::parse(const std::string& text) {
    Progress p;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos || line.find('\t', tab2 + 1) != std::string::npos) continue;
        int number = 0;
        const char* first = line.data();
        const auto [at, ec] = std::from_chars(first, first + tab1, number);
        if (ec != std::errc() || at != first + tab1 || number < 1 || number > MaxLevelNumber)
            continue;
        const auto file = unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
        const auto title = unescaped(line.substr(tab2 + 1));
        if (!file || file->empty() || !title) continue;
        p.reach(*file, *title, number - 1);
    }
    return p;
}

std::string Progress::format() const {
    std::string out;
    for (const Entry& e : entries_)
        out +=
            std::to_string(e.level + 1) + '\t' + escaped(e.file) + '\t' + escaped(e.title) + "\r\n";
    return out;
}

std::string Progress::keyOf(const std::string& file, const std::string& title) {
    // The folded name's length first, so that no name and title run into one another.
    const std::string folded = foldedName(file);
    return std::to_string(folded.size()) + ':' + folded + title;
}

std::optional<int> Progress::furthest(const std::string& file, const std::string& title) const {
    const auto it = index_.find(keyOf(file, title));
    return it == index_.end() ? std::nullopt : std::optional<int>(entries_[it->second].level);
}

bool Progress::reach(const std::string& file, const std::string& title, int level, int levelCount) {
    if (level < 0) return false;
    const auto [it, added] = index_.try_emplace(keyOf(file, title), entries_.size());
    if (added) {
        entries_.push_back({level, file, title});
        return true;
    }
    Entry& e = entries_[it->second];
    if (level <= e.level && e.level < levelCount) return false;
    e.level = level;
    e.file = file;
    return true;
}

}  // namespace lumor
