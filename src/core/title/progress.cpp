#include "title/progress.h"

#include "app/files.h"
#include "app/paths.h"

#include <charconv>
#include <utility>

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

// The line's tab-separated fields.
std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (;;) {
        const size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string::npos ? tab : tab - from));
        if (tab == std::string::npos) return fields;
        from = tab + 1;
    }
}

// A level number (from 1) as an index; nullopt when it is none.
std::optional<int> levelIndex(const std::string& field) {
    int number = 0;
    const char* first = field.data();
    const char* last = first + field.size();
    const auto [at, ec] = std::from_chars(first, last, number);
    if (ec != std::errc() || at != last || number < 1 || number > MaxLevelNumber)
        return std::nullopt;
    return number - 1;
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

        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.size() == 2 && fields[0] == "aus") {
            const auto folder = unescaped(fields[1]);
            if (folder && !folder->empty()) p.noteTakenOver(*folder);
            continue;
        }
        const bool wonLine = fields.size() == 4 && fields[0] == "+";
        if (fields.size() != 3 && !wonLine) continue;
        const auto file = unescaped(fields[1]);
        const auto title = unescaped(fields[2]);
        if (!file || file->empty() || !title) continue;
        if (!wonLine) {
            if (const auto level = levelIndex(fields[0])) p.reach(*file, *title, *level);
            continue;
        }
        // A list with a number that does not read is taken as far as it reads.
        size_t from = 0;
        const std::string& list = fields[3];
        while (from < list.size()) {
            size_t comma = list.find(',', from);
            if (comma == std::string::npos) comma = list.size();
            const auto level = levelIndex(list.substr(from, comma - from));
            if (!level) break;
            p.win(*file, *title, *level);
            from = comma + 1;
        }
    }
    return p;
}

std::string Progress::format() const {
    std::string out;
    for (const Entry& e : entries_) {
        const std::string pack = escaped(e.file) + '\t' + escaped(e.title);
        out += std::to_string(e.level + 1) + '\t' + pack + "\r\n";
        if (e.won.empty()) continue;
        out += "+\t" + pack + '\t';
        const char* comma = "";
        for (int level : e.won) {
            out += comma + std::to_string(level + 1);
            comma = ",";
        }
        out += "\r\n";
    }
    for (const std::string& folder : takenOver_) out += "aus\t" + escaped(folder) + "\r\n";
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
        entries_.push_back({level, file, title, {}});
        return true;
    }
    Entry& e = entries_[it->second];
    if (level <= e.level && e.level < levelCount) return false;
    e.level = level;
    e.file = file;
    return true;
}

void Progress::win(const std::string& file, const std::string& title, int level) {
    if (level < 0) return;
    const auto it = index_.find(keyOf(file, title));
    if (it == index_.end() || entries_[it->second].level < level) reach(file, title, level);
    entries_[index_.at(keyOf(file, title))].won.insert(level);
}

std::vector<int> Progress::wonLevels(const std::string& file, const std::string& title) const {
    const auto it = index_.find(keyOf(file, title));
    if (it == index_.end()) return {};
    const std::set<int>& won = entries_[it->second].won;
    return {won.begin(), won.end()};
}

void Progress::merge(const Progress& other) {
    for (const Entry& e : other.entries_) {
        reach(e.file, e.title, e.level);
        for (int level : e.won) win(e.file, e.title, level);
    }
    takenOver_.insert(other.takenOver_.begin(), other.takenOver_.end());
}

bool Progress::tookOver(const std::string& folder) const { return takenOver_.count(folder) != 0; }

ProgressStore::ProgressStore(const std::string& folder, std::string programFolder)
    : programFolder_(std::move(programFolder)) {
    if (!folder.empty()) path_ = folder + '/' + ProgressFileName;
    if (!programFolder_.empty() && programFolder_ != folder)
        programPath_ = resolveIn(programFolder_, ProgressFileName);
}

Progress ProgressStore::load() const {
    Progress progress;
    std::string bytes;
    if (path_.empty()) return progress;
    if (readRegularFile(path_, MaxProgressFileBytes, bytes) == ReadStatus::Ok)
        progress = Progress::parse(bytes);
    if (programPath_.empty() || progress.tookOver(programFolder_)) return progress;
    if (readRegularFile(programPath_, MaxProgressFileBytes, bytes) != ReadStatus::Ok)
        return progress;  // nothing to take over (yet)
    Progress earlier = Progress::parse(bytes);
    progress.merge(earlier);
    progress.noteTakenOver(programFolder_);
    save(progress);
    return progress;
}

bool ProgressStore::save(const Progress& progress) const {
    return !path_.empty() &&
           saveFileAtomically(path_, progress.format(), LinkPolicy::Refuse) == SaveStatus::Ok;
}

}  // namespace lumor
