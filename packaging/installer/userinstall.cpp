#include "installer/userinstall.h"

#include "app/files.h"
#include "app/paths.h"
#include "levels/cp1252.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumor::installer {

namespace {

constexpr const char* GameExecutable = "Lumor";
constexpr const char* IconFile = "Lumor.png";

// The German reason for a system error; the system's own texts are English.
std::string reason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:  // as every save of the game says it
            return lumor::cp1252::toUtf8(lumor::saveFailureText(lumor::SaveStatus::DiskFull));
        case EACCES:
        case EPERM:
            return "keine Berechtigung";
        case EROFS:
            return "der Datenträger ist schreibgeschützt";
        case ENOENT:
            return "nicht vorhanden";
        case ENOTDIR:
            return "kein Ordner";
        case EISDIR:
            return "ein Ordner";
        case EEXIST:
            return "schon vorhanden";
        case ELOOP:
            return "ein symbolischer Link";
        case EIO:
            return "der Datenträger meldet einen Lese- oder Schreibfehler";
        default:
            return "Systemfehler " + std::to_string(error);
    }
}

std::string describe(const fs::path& file, int error) {
    return file.string() + ": " + reason(error);
}

std::string describe(const fs::path& file, const std::error_code& ec) {
    return describe(file, ec.value());
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t w = ::write(fd, data, size);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        size -= static_cast<size_t>(w);
    }
    return true;
}

// Writes a file beside `path` under a name made new for it (never one that somebody put
// there, which could be a link leading elsewhere) and renames it over `path`, so `path` is
// the old file or the new one, and a link in its place is replaced rather than written
// through. The name is the one the game's saves use, so the game clears away what an
// installer that was killed left behind. `fill` writes the contents into the descriptor.
template <typename Fill>
bool replaceFile(const fs::path& path, mode_t mode, Fill fill, std::string& error) {
    std::string tmp =
        (path.parent_path() / ("." + path.filename().string() + ".lumor-XXXXXX")).string();
    Fd f{::mkostemp(tmp.data(), O_CLOEXEC)};
    if (f.fd < 0) {
        error = describe(path, errno);
        return false;
    }
    ::flock(f.fd, LOCK_EX | LOCK_NB);  // a save in progress, to the game's clean-up
    int failed = 0;
    errno = 0;
    if (::fchmod(f.fd, mode) != 0 || !fill(f.fd) || ::fsync(f.fd) != 0 ||
        ::rename(tmp.c_str(), path.c_str()) != 0)
        failed = errno ? errno : EIO;
    if (failed == 0) return true;
    error = describe(path, failed);
    ::unlink(tmp.c_str());
    return false;
}

std::string linkRefused(const fs::path& link) {
    return link.string() +
           ": ein symbolischer Link, der anderswohin führt; die Kopie braucht dort einen "
           "eigenen Ordner";
}

// Whether `rel` below `base` passes through a symbolic link: the player's copy must be
// folders of its own, not a way into some other place.
bool throughLink(const fs::path& base, const fs::path& rel, fs::path& link) {
    std::error_code ec;
    fs::path at = base;
    if (fs::is_symlink(at, ec)) {
        link = at;
        return true;
    }
    for (const fs::path& part : rel) {
        at /= part;
        if (fs::is_symlink(at, ec)) {
            link = at;
            return true;
        }
    }
    return false;
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

// Copies `src` to `dst` whole (replaceFile), readable for everyone and writable for the
// player whatever the installed file's mode was.
bool copyWhole(const fs::path& src, const fs::path& dst, bool executable, std::string& error) {
    Fd in{::open(src.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) {
        error = describe(src, errno);
        return false;
    }
    const auto fill = [&](int out) {
        char buf[1 << 16];
        while (true) {
            const ssize_t got = ::read(in.fd, buf, sizeof buf);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return got == 0;
            if (!writeAll(out, buf, static_cast<size_t>(got))) return false;
        }
    };
    return replaceFile(dst, executable ? 0755 : 0644, fill, error);
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
    fs::path link;
    if (throughLink(to, {}, link)) {
        r.error = linkRefused(link);
        return r;
    }
    fs::create_directories(to, ec);
    if (ec) {
        r.error = describe(to, ec);
        return r;
    }
    for (const fs::path& rel : files) {
        const fs::path src = from / rel;
        const fs::path dst = resolveIn(to.string(), rel.generic_string());
        const bool executable = ownerMayExecute(src);
        if (throughLink(to, dst.lexically_relative(to).parent_path(), link)) {
            r.error = linkRefused(link);
            return r;
        }
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

std::string desktopEntryFor(const std::string& installed, const fs::path& folder,
                            const fs::path& launcher) {
    const fs::path icon = folder / IconFile;
    std::error_code ec;
    const bool haveIcon = fs::is_regular_file(icon, ec);
    std::istringstream in(installed);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Exec=", 0) == 0) {
            const std::string game = execArgument((folder / GameExecutable).string());
            if (launcher.empty())
                out << "Exec=" << game << '\n';
            else  // sh names the launcher $1 and the copy's game $2
                out << "Exec=sh -c "
                    << execArgument("if [ -x \"$1\" ]; then exec \"$1\"; fi; exec \"$2\"")
                    << " lumor " << execArgument(launcher.string()) << ' ' << game << '\n';
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
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) {
        error = describe(path.parent_path(), ec);
        return false;
    }
    const auto fill = [&](int out) { return writeAll(out, content.data(), content.size()); };
    return replaceFile(path, 0644, fill, error);
}

}  // namespace lumor::installer
