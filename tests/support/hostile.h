// What a hostile user may put under a file name the program reads: a sparse file of a
// terabyte, a link to an endless device, a FIFO nobody writes into, a folder.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace lumortest {

enum class Hostile { Huge, EndlessDevice, Fifo, Folder };

inline const std::vector<Hostile> AllHostile = {Hostile::Huge, Hostile::EndlessDevice,
                                                Hostile::Fifo, Hostile::Folder};

inline const char* nameOf(Hostile h) {
    static const char* const names[] = {"a sparse terabyte", "a link to /dev/zero", "a FIFO",
                                        "a folder"};
    return names[static_cast<int>(h)];
}

// Puts the thing under `path` (which must not exist); false when the system refuses.
inline bool makeHostile(Hostile h, const std::string& path) {
    switch (h) {
        case Hostile::Huge: {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const bool ok = fd >= 0 && ::ftruncate(fd, off_t{1} << 40) == 0;
            if (fd >= 0) ::close(fd);
            return ok;
        }
        case Hostile::EndlessDevice:
            return ::symlink("/dev/zero", path.c_str()) == 0;
        case Hostile::Fifo:
            return ::mkfifo(path.c_str(), 0644) == 0;
        case Hostile::Folder:
            break;
    }
    return ::mkdir(path.c_str(), 0755) == 0;
}

}  // namespace lumortest
