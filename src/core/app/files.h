// Reading and saving files that anyone may have put into the program folder: only
// regular files are read, never more than a reader's limit, and saves go through a
// hidden temporary file renamed over the target, so a failed save leaves the old file
// whole and nothing but a regular file (or a new name) is ever replaced. The program's
// own automatic saves never go through a symbolic link.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumor {

enum class ReadStatus {
    Ok,
    Missing,     // cannot be opened (missing, no permission)
    NotRegular,  // a folder, device, FIFO or socket (also through a link)
    TooLarge,    // holds more than the reader's limit
    Failed,      // a read error
};

// The whole file into `bytes` when it is a regular file of at most `limit` bytes. Opening
// never blocks (a FIFO is refused, not waited on), and the file is read only up to one
// byte beyond the limit, whatever size it claims.
ReadStatus readRegularFile(const std::string& path, uint64_t limit, std::string& bytes);

// Opens a regular file of at most `limit` bytes for reading: a descriptor (close-on-exec)
// or -1 with the reason in `status`. `size` receives the file's size.
int openRegularFile(const std::string& path, uint64_t limit, ReadStatus& status,
                    uint64_t* size = nullptr);

// Up to `count` bytes from the start of an open file (fewer at its end); false on a read error.
bool readHead(int fd, size_t count, std::string& bytes);

enum class SaveStatus {
    Ok,
    NotRegular,  // the name exists but is no regular file, or is a link leading nowhere
    ReadOnly,    // the file allows no writing (its permission bits, or for this user)
    NoFolder,    // the folder does not exist or takes no new file
    Link,        // the name is a symbolic link, and the save does not follow links
    DiskFull,    // no room left on the file system, or the user's quota is used up
    Failed,      // writing, flushing or renaming failed otherwise
};

enum class LinkPolicy {
    // A link to a regular file saves the file it leads to, and the link stays: for saves
    // the player asks for by name.
    Follow,
    // A link is refused (SaveStatus::Link) and what it leads to stays as it was: for every
    // save the program makes on its own, so that a planted link never turns one into a
    // write to some other file.
    Refuse,
};

// Saves `bytes` under `path`. An existing file keeps its permission bits. Leftovers of an
// earlier save of the same name that were killed half-way are removed first.
SaveStatus saveFileAtomically(const std::string& path, std::string_view bytes,
                              LinkPolicy links = LinkPolicy::Follow);

// The German reason for a failed save, in Windows-1252 like the pack's own messages
// ("die Datei ist schreibgeschützt"), without a full stop.
const char* saveFailureText(SaveStatus status);

// Whether a file name is one of the save's temporary names (".NAME.lumor-XXXXXX").
bool isSaveLeftover(const std::string& name);
// Removes, in `folder`, the temporary files of saves that were killed half-way (a save in
// progress holds a lock on its file and is left alone). With `target` set, only those of
// that file name.
void removeSaveLeftovers(const std::string& folder, const std::string& target = {});

}  // namespace lumor
