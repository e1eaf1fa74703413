#include "app/paths.h"

#include "app/files.h"
#include "app/state.h"
#include "levels/cp1252.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace lumor {

namespace {

// Lower case for comparing: ASCII letters, and the UTF-8 pairs C3 80..C3 9E (À..Þ without
// ×) folded to C3 A0..C3 BE.
std::string fold(const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            unsigned char d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

bool isSep(char c) { return c == '/' || c == '\\'; }

std::vector<std::string> splitParts(const std::string& rel) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : rel) {
        if (isSep(c)) {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

std::string join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

bool entryExists(const std::string& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// The spelling of `part` as it exists in `dir`, or empty when nothing matches.
std::string findEntry(const std::string& dir, const std::string& part) {
    if (entryExists(join(dir, part))) return part;
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? std::string(".") : dir, ec);
    if (ec) return {};
    const std::string wanted = fold(part);
    std::string best;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (fold(name) != wanted) continue;
        if (best.empty() || nameLess(name, best)) best = std::move(name);
    }
    return best;
}

std::string resolveParts(std::string cur, const std::string& rel, bool allowParent) {
    bool exists = true;  // once a part is missing, nothing below it can exist
    for (const std::string& part : splitParts(rel)) {
        if (part == ".") continue;
        if (part == "..") {
            if (allowParent) cur = join(cur, part);
            continue;
        }
        if (exists) {
            std::string found = findEntry(cur, part);
            if (!found.empty()) {
                cur = join(cur, found);
                continue;
            }
            exists = false;
        }
        cur = join(cur, part);
    }
    return cur;
}

std::string stripTrailingSeparators(std::string s) {
    while (s.size() > 1 && isSep(s.back())) s.pop_back();
    return s;
}

// Well-formed UTF-8: no stray continuation bytes, overlong forms or surrogates.
bool isUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t len;
        char32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4, cp = b & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string displayFileName(const std::string& name) {
    return isUtf8(name) ? name : cp1252::toUtf8(name);
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) { return fold(a) == fold(b); }

std::string foldedName(const std::string& name) { return fold(name); }

bool nameLess(const std::string& a, const std::string& b) {
    const std::string fa = fold(a), fb = fold(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

std::string resolveIn(const std::string& base, const std::string& rel) {
    return resolveParts(stripTrailingSeparators(base), rel, false);
}

std::string programPath(const std::string& rel) { return resolveIn(state().AppFolder, rel); }

std::string resolvePath(const std::string& path) {
    const std::string& app = state().AppFolder;
    if (!app.empty() && path.compare(0, app.size(), app) == 0)
        return resolveIn(app, path.substr(app.size()));
    if (!path.empty() && isSep(path.front())) return resolveParts("/", path, true);
    if (!app.empty())
        return resolveIn(app, path);  // every relative name is below the program folder
    return resolveParts("", path, true);
}

bool FileExists(const std::string& path) {
    ReadStatus status;
    const int fd = openRegularFile(resolvePath(path), UINT64_MAX, status);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(resolvePath(path), ec);
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    const std::string n = fold(name), p = fold(pattern);
    // Greedy wildcard match with backtracking to the last "*".
    size_t ni = 0, pi = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(resolvePath(folder), ec);
    if (ec) return names;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        if (matchesPattern(name, pattern)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), nameLess);
    return names;
}

}  // namespace lumor
