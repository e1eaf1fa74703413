#include "app/instancelock.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumor {

namespace {

std::string canonical(const std::string& folder) {
    char real[PATH_MAX];
    if (::realpath(folder.c_str(), real)) return real;
    std::string s = folder;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string InstanceLock::fileName(const std::string& programFolder) {
    char buf[64];
    struct stat st {};
    if (::stat(programFolder.c_str(), &st) == 0) {
        std::snprintf(buf, sizeof buf, ".lumor-instance-%llx-%llx.lock",
                      static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino));
        return buf;
    }
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : canonical(programFolder)) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    std::snprintf(buf, sizeof buf, ".lumor-instance-%016llx.lock",
                  static_cast<unsigned long long>(h));
    return buf;
}

InstanceLock InstanceLock::acquire(const std::string& lockFolder,
                                   const std::string& programFolder) {
    InstanceLock lock;
    struct stat st {};
    if (lockFolder.empty() || ::stat(lockFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 022) != 0) {
        lock.result_ = Result::NoFolder;
        return lock;
    }
    lock.path_ = lockFolder + "/" + fileName(programFolder);
    lock.result_ = Result::Failed;
    lock.fd_ =
        ::open(lock.path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (lock.fd_ < 0) {
        lock.error_ = errno;
        lock.notRegular_ = errno == EISDIR;
        return lock;
    }
    if (::fstat(lock.fd_, &st) != 0) {
        lock.error_ = errno;
        return lock;
    }
    lock.notRegular_ = !S_ISREG(st.st_mode);
    lock.notOurs_ = st.st_uid != ::geteuid();
    if (lock.notRegular_ || lock.notOurs_) return lock;
    if (::flock(lock.fd_, LOCK_EX | LOCK_NB) != 0) {
        lock.error_ = errno;
        if (errno == EWOULDBLOCK) lock.result_ = Result::Running;
        return lock;
    }
    // For people looking: which process holds it.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(lock.fd_, 0) == 0) (void)!::write(lock.fd_, pid.data(), pid.size());
    lock.result_ = Result::Acquired;
    return lock;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept { *this = std::move(other); }

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        result_ = other.result_;
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
        notRegular_ = other.notRegular_;
        notOurs_ = other.notOurs_;
    }
    return *this;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);  // drops the lock; the file stays for the next start
}

}  // namespace lumor
