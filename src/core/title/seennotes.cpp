#include "title/seennotes.h"

#include "app/files.h"
#include "app/paths.h"

namespace lumor {

namespace {

constexpr uint64_t MaxSeenNotesBytes = 64 * 1024;

}  // namespace

SeenNotes::SeenNotes(const std::string& folder) {
    if (folder.empty()) return;
    path_ = folder + '/' + SeenNotesFileName;
    std::string bytes;
    if (readRegularFile(path_, MaxSeenNotesBytes, bytes) != ReadStatus::Ok) return;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) keys_.insert(line);
        start = end + 1;
    }
}

std::string SeenNotes::keyOf(const std::string& packFile, int level) {
    return foldedName(packFile) + '\t' + std::to_string(level + 1);
}

bool SeenNotes::seen(const std::string& key) const { return keys_.count(key) != 0; }

bool SeenNotes::markSeen(const std::string& key) {
    // A name with a line break cannot be kept as a line.
    if (key.find_first_of("\r\n") != std::string::npos) return false;
    keys_.insert(key);
    if (path_.empty()) return false;
    std::string bytes;
    for (const std::string& k : keys_) bytes += k + "\r\n";
    return saveFileAtomically(path_, bytes, LinkPolicy::Refuse) == SaveStatus::Ok;
}

}  // namespace lumor
