#include "installer/userinstall.h"

#include "app/paths.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

namespace lumor::installer {

namespace {

constexpr const char* GameExecutable = "Lumor";
constexpr const char* IconFile = "Lumor.png";

std::string describe(const fs::path& file, const std::error_code& ec) {
    return file.string() + ": " + ec.message();
}

bool ownerMayExecute(const fs::path& file) {
    std::error_code ec;
    const fs::perms p = fs::status(file, ec).permissions();
    return !ec && (p & fs::perms::owner_exec) != fs::perms::none;
}

bool sameContent(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return fa && fb &&
           std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

fs::path besideTemporary(const fs::path& path) {
    return path.parent_path() / ("." + path.filename().string() + ".lumor-install");
}

// Copies `src` to `dst` through a temporary file beside it, readable for everyone and
// writable for the player whatever the installed file's mode was.
bool copyWhole(const fs::path& src, const fs::path& dst, bool executable, std::string& error) {
    const fs::path tmp = besideTemporary(dst);
    std::error_code ec;
    fs::copy_file(src, tmp, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        using P = fs::perms;
        const P mode = P::owner_read | P::owner_write | P::group_read | P::others_read |
                       (executable ? P::owner_exec | P::group_exec | P::others_exec : P::none);
        fs::permissions(tmp, mode, ec);
    }
    if (!ec) fs::rename(tmp, dst, ec);
    if (!ec) return true;
    error = describe(dst, ec);
    fs::remove(tmp, ec);
    return false;
}

// The files below `from` as paths relative to it, in a fixed order with the game's
// executable last.
std::vector<fs::path> filesBelow(const fs::path& from, std::string& error) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(from, ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) files.push_back(it->path().lexically_relative(from));
    if (ec) {
        error = describe(from, ec);
        return {};
    }
    std::sort(files.begin(), files.end());
    std::stable_partition(files.begin(), files.end(),
                          [](const fs::path& f) { return f != GameExecutable; });
    return files;
}

// Desktop entry string values: only the backslash needs escaping for these paths.
std::string escapeValue(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

fs::path userDataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome);
    if (home && fs::path(home).is_absolute()) return fs::path(home) / ".local" / "share";
    return {};
}

CopyResult copyProgramFolder(const fs::path& from, const fs::path& to) {
    CopyResult r;
    const std::vector<fs::path> files = filesBelow(from, r.error);
    if (!r.error.empty()) return r;
    if (files.empty()) {
        r.error = from.string() + ": keine Dateien";
        return r;
    }
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec) {
        r.error = describe(to, ec);
        return r;
    }
    for (const fs::path& rel : files) {
        const fs::path src = from / rel;
        const fs::path dst = resolveIn(to.string(), rel.generic_string());
        const bool executable = ownerMayExecute(src);
        if (fs::exists(fs::symlink_status(dst, ec))) {
            if (!executable || sameContent(src, dst)) {
                ++r.kept;
                continue;
            }
            if (!copyWhole(src, dst, true, r.error)) return r;
            ++r.renewed;
            continue;
        }
        fs::create_directories(dst.parent_path(), ec);
        if (ec) {
            r.error = describe(dst.parent_path(), ec);
            return r;
        }
        if (!copyWhole(src, dst, executable, r.error)) return r;
        ++r.copied;
    }
    return r;
}

std::string execArgument(const std::string& path) {
    // Inside double quotes the Exec key wants \" \` \$ \\ for those four characters, and
    // the string escaping of every value doubles each backslash once more; % is doubled.
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$') {
            out += "\\\\";
        } else if (c == '\\') {
            out += "\\\\\\";
        } else if (c == '%') {
            out += '%';
        }
        out += c;
    }
    return out + "\"";
}

std::string desktopEntryFor(const std::string& installed, const fs::path& folder) {
    const fs::path icon = folder / IconFile;
    std::error_code ec;
    const bool haveIcon = fs::is_regular_file(icon, ec);
    std::istringstream in(installed);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Exec=", 0) == 0) {
            out << "Exec=" << execArgument((folder / GameExecutable).string()) << '\n';
            out << "Path=" << escapeValue(folder.string()) << '\n';
        } else if (line.rfind("Path=", 0) == 0 || line.rfind("TryExec=", 0) == 0) {
            continue;
        } else if (line.rfind("Icon=", 0) == 0 && haveIcon) {
            out << "Icon=" << escapeValue(icon.string()) << '\n';
        } else {
            out << line << '\n';
        }
    }
    return out.str();
}

bool writeFileAtomically(const fs::path& path, const std::string& content, std::string& error) {
    const fs::path tmp = besideTemporary(path);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) {
        error = describe(path.parent_path(), ec);
        return false;
    }
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f.is_open()) {
            error = describe(path, std::error_code(errno, std::generic_category()));
            return false;
        }
        f << content;
        f.flush();
        if (!f) {
            error = describe(path, std::make_error_code(std::errc::io_error));
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, path, ec);
    if (!ec) return true;
    error = describe(path, ec);
    fs::remove(tmp, ec);
    return false;
}

}  // namespace lumor::installer
