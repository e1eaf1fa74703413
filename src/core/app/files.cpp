#include "app/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumor {

namespace {

constexpr std::string_view LeftoverMark = ".lumor-";
constexpr size_t LeftoverRandom = 6;  // the XXXXXX of mkstemp

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

bool readAll(int fd, size_t max, std::string& bytes) {
    char buf[1 << 16];
    while (bytes.size() < max) {
        const size_t want = std::min(sizeof buf, max - bytes.size());
        const ssize_t got = ::read(fd, buf, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        bytes.append(buf, static_cast<size_t>(got));
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(w);
    }
    return true;
}

bool diskFull(int error) { return error == ENOSPC || error == EDQUOT; }

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int openRegularFile(const std::string& path, uint64_t limit, ReadStatus& status, uint64_t* size) {
    // Looked at before opening: opening a device alone can have effects.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        status = ReadStatus::Missing;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = ReadStatus::NotRegular;
        return -1;
    }
    Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0) {
        status = ReadStatus::Missing;
        return -1;
    }
    // Swapped for something else in between?
    if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        status = ReadStatus::NotRegular;
        return -1;
    }
    if (static_cast<uint64_t>(st.st_size) > limit) {
        status = ReadStatus::TooLarge;
        return -1;
    }
    const int flags = ::fcntl(f.fd, F_GETFL);
    if (flags >= 0) ::fcntl(f.fd, F_SETFL, flags & ~O_NONBLOCK);
    if (size) *size = static_cast<uint64_t>(st.st_size);
    status = ReadStatus::Ok;
    return f.release();
}

ReadStatus readRegularFile(const std::string& path, uint64_t limit, std::string& bytes) {
    bytes.clear();
    ReadStatus status;
    uint64_t size = 0;
    Fd f{openRegularFile(path, limit, status, &size)};
    if (f.fd < 0) return status;
    bytes.reserve(static_cast<size_t>(size));
    // One byte beyond the limit tells a file that grew since it was looked at.
    const size_t max = limit >= SIZE_MAX ? SIZE_MAX : static_cast<size_t>(limit) + 1;
    if (!readAll(f.fd, max, bytes)) {
        bytes.clear();
        return ReadStatus::Failed;
    }
    if (bytes.size() > limit) {
        bytes.clear();
        return ReadStatus::TooLarge;
    }
    return ReadStatus::Ok;
}

bool readHead(int fd, size_t count, std::string& bytes) {
    bytes.clear();
    if (::lseek(fd, 0, SEEK_SET) < 0) return false;
    return readAll(fd, count, bytes);
}

bool isSaveLeftover(const std::string& name) {
    const size_t tail = LeftoverMark.size() + LeftoverRandom;
    if (name.size() < 2 + tail || name[0] != '.') return false;
    const size_t mark = name.size() - tail;
    if (name.compare(mark, LeftoverMark.size(), LeftoverMark) != 0) return false;
    for (size_t i = mark + LeftoverMark.size(); i < name.size(); ++i)
        if (!isAlnum(name[i])) return false;
    return true;
}

void removeSaveLeftovers(const std::string& folder, const std::string& target) {
    const std::string dirName = folder.empty() ? std::string(".") : folder;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(dirName.c_str()), ::closedir);
    if (!dir) return;
    const std::string prefix = target.empty() ? std::string() : "." + target;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (!isSaveLeftover(name)) continue;
        if (!target.empty() &&
            (name.size() != prefix.size() + LeftoverMark.size() + LeftoverRandom ||
             name.compare(0, prefix.size(), prefix) != 0))
            continue;
        const int dfd = ::dirfd(dir.get());
        Fd f{::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        struct stat st {};
        if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) continue;
        // A save still writing holds this lock; one that was killed no longer does.
        if (::flock(f.fd, LOCK_EX | LOCK_NB) != 0) continue;
        ::unlinkat(dfd, name.c_str(), 0);
    }
}

SaveStatus saveFileAtomically(const std::string& path, std::string_view bytes, LinkPolicy links) {
    std::string target = path;
    mode_t mode = newFileMode();
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode) && links == LinkPolicy::Refuse) return SaveStatus::Link;
        if (S_ISLNK(st.st_mode)) {
            // Save the file the link leads to, so the link stays a link.
            if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                return SaveStatus::NotRegular;
            char real[PATH_MAX];
            if (!::realpath(path.c_str(), real)) return SaveStatus::NotRegular;
            target = real;
        } else if (!S_ISREG(st.st_mode)) {
            return SaveStatus::NotRegular;
        }
        // No write bit at all means read-only for everybody, the superuser included.
        if ((st.st_mode & 0222) == 0 ||
            ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return SaveStatus::ReadOnly;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return errno == ENOTDIR ? SaveStatus::NoFolder : SaveStatus::Failed;
    }

    const size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty() || base == "." || base == "..") return SaveStatus::NotRegular;

    removeSaveLeftovers(dir, base);
    // Hidden and ending in random letters, so that no file list ever shows it.
    std::string tmp = dir + "/." + base + std::string(LeftoverMark) + "XXXXXX";
    // Created afresh (O_EXCL): a name someone put there first is never written through.
    Fd f{::mkostemp(tmp.data(), O_CLOEXEC)};
    if (f.fd < 0)
        return errno == EACCES || errno == ENOENT || errno == ENOTDIR || errno == EROFS
                   ? SaveStatus::NoFolder
               : diskFull(errno) ? SaveStatus::DiskFull
                                 : SaveStatus::Failed;
    ::flock(f.fd, LOCK_EX | LOCK_NB);  // tells a later clean-up that this save is alive
    ::fchmod(f.fd, mode);
    // A full disk shows in the write or, where space is taken late, in the flush.
    if (!writeAll(f.fd, bytes) || ::fsync(f.fd) != 0 ||
        ::rename(tmp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(tmp.c_str());
        return diskFull(error) ? SaveStatus::DiskFull : SaveStatus::Failed;
    }
    // Make the rename itself durable; a failure here no longer endangers the old file.
    Fd d{::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (d.fd >= 0) ::fsync(d.fd);
    return SaveStatus::Ok;
}

const char* saveFailureText(SaveStatus status) {
    switch (status) {
        case SaveStatus::Ok:
            return "";
        case SaveStatus::NotRegular:
            return "das Ziel ist keine gew\xf6hnliche Datei";
        case SaveStatus::ReadOnly:
            return "die Datei ist schreibgesch\xfctzt";
        case SaveStatus::NoFolder:
            return "der Ordner fehlt oder nimmt keine neue Datei an";
        case SaveStatus::Link:
            return "das Ziel ist ein symbolischer Link";
        case SaveStatus::DiskFull:
            return "der Datentr\xe4ger ist voll";
        case SaveStatus::Failed:
            break;
    }
    return "Schreibfehler";
}

}  // namespace lumor
