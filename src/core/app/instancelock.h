// The single-instance lock: one lock file per program folder in a folder of the user's own
// (the user's data folder), held with an advisory lock that the system drops when its
// process ends, however it ends. What the file holds does not matter, so an empty, garbage
// or left-over lock file never keeps anybody out, and other users have locks of their own.
#pragma once

#include <string>

namespace lumor {

class InstanceLock {
public:
    enum class Result {
        Acquired,  // this process holds the lock now
        Running,   // another process of this user holds it: the program runs already
        NoFolder,  // no folder fit for locks (missing, or others may write to it)
        Failed,    // the lock file cannot be used; errorNumber() and notOurs() say why
    };

    // Takes the lock for `programFolder` in `lockFolder`, which must be a folder of this
    // user that nobody else may write to.
    static InstanceLock acquire(const std::string& lockFolder, const std::string& programFolder);

    InstanceLock() = default;
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    Result result() const { return result_; }
    const std::string& path() const { return path_; }
    int errorNumber() const { return error_; }  // errno of the failed step, 0 for none
    bool notRegular() const { return notRegular_; }
    bool notOurs() const { return notOurs_; }

    // The lock file's name for a program folder, hidden: ".lumor-instance-", the folder's
    // device and inode in hex and ".lock", so that every path to the folder (links, a bind
    // mount) names the same lock. A folder that cannot be looked at is named by 16 hex
    // digits of its path instead.
    static std::string fileName(const std::string& programFolder);

private:
    Result result_ = Result::NoFolder;
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
    bool notRegular_ = false;
    bool notOurs_ = false;
};

}  // namespace lumor
