// A full disk for the tests of what saves say when there is no room: a tiny file system
// (tmpfs) mounted in a mount namespace of a child process's own, so nothing outside the
// child ever sees it. Root may mount one; another user only where user namespaces are
// allowed. Elsewhere the test is skipped with the reason.
#pragma once

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace lumortest {

namespace detail {

inline bool writeProcFile(const char* path, const std::string& text) {
    FILE* f = std::fopen(path, "w");
    if (!f) return false;
    const bool ok = std::fputs(text.c_str(), f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// In the child: a mount namespace of its own (as root, or as the root of a new user
// namespace) with a tmpfs of `kilobytes` on `folder`.
inline bool mountTiny(const fs::path& folder, int kilobytes) {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    // Private, so the mount never spreads to the namespace the child came from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string size = "size=" + std::to_string(kilobytes) + "k";
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
}

}  // namespace detail

// Runs `body` in a child process that sees a tmpfs of `kilobytes` KB on `folder` (made
// here when missing); returns what `body` returned, or nullopt when no such file system can
// be had here. The body must not use gtest's assertions: it runs in another process, and
// its text is its answer.
inline std::optional<std::string> onTinyFileSystem(const fs::path& folder, int kilobytes,
                                                   const std::function<std::string()>& body) {
    fs::create_directories(folder);
    int answer[2];
    if (::pipe(answer) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(answer[0]);
        const std::string text = detail::mountTiny(folder, kilobytes) ? "1" + body() : "0";
        (void)!::write(answer[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(answer[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(answer[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    ::close(answer[0]);
    ::waitpid(child, nullptr, 0);
    if (text.empty() || text[0] != '1') return std::nullopt;
    return text.substr(1);
}

inline const char* const NoTinyFileSystem =
    "no tiny file system to fill: needs root or user namespaces";

}  // namespace lumortest
