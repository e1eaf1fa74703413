// The single-instance lock in a runtime folder of the test's own.
#include "app/instancelock.h"

#include "support/hostile.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumor;
using Result = InstanceLock::Result;

namespace {

class Lock : public lumortest::ScratchFolderTest {
protected:
    void SetUp() override {
        ::mkdir(runtime.c_str(), 0700);
        ::mkdir(folder.c_str(), 0755);
        lockFile = runtime + "/" + InstanceLock::fileName(folder);  // of the folder as it is
    }
    Result take(const std::string& f) { return InstanceLock::acquire(runtime, f).result(); }
    const std::string runtime = (dir / "run").string(), folder = (dir / "Lumor").string();
    std::string lockFile;
};

}  // namespace

TEST_F(Lock, HeldPerProgramFolderUntilReleased) {
    {
        const InstanceLock first = InstanceLock::acquire(runtime, folder);
        ASSERT_EQ(first.result(), Result::Acquired);
        EXPECT_EQ(first.path(), lockFile);
        EXPECT_EQ(take(folder), Result::Running);
        EXPECT_EQ(take(folder + "/"), Result::Running) << "the same folder, spelled otherwise";
        EXPECT_EQ(take(dir.string()), Result::Acquired) << "another folder is another program";
    }
    EXPECT_EQ(take(folder), Result::Acquired);

    // A runtime folder others may write to is no place for locks.
    ::chmod(runtime.c_str(), 0777);
    EXPECT_EQ(take(folder), Result::NoFolder);
    EXPECT_EQ(InstanceLock::acquire(runtime + "/fehlt", folder).result(), Result::NoFolder);
    EXPECT_EQ(InstanceLock::acquire("", folder).result(), Result::NoFolder);
}

TEST_F(Lock, LeftoverLockFilesNeverKeepAStartOutAndUnusableOnesSayWhy) {
    for (const std::string content : {"", "Unsinn\n\x01\x02", "999999\nLumor\nhost\n"}) {
        lumortest::writeFile(lockFile, content);
        EXPECT_EQ(take(folder), Result::Acquired) << content;
    }
    // An instance that crashed: its lock goes with its process.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const InstanceLock held = InstanceLock::acquire(runtime, folder);
        const char ok = held.result() == Result::Acquired ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    EXPECT_EQ(take(folder), Result::Running);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(take(folder), Result::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);

    // An unusable lock file fails with its reason: a FIFO is no lock file (a folder: the
    // start-up test), a link is never followed.
    std::filesystem::remove(lockFile);
    ASSERT_TRUE(lumortest::makeHostile(lumortest::Hostile::Fifo, lockFile));
    EXPECT_TRUE(InstanceLock::acquire(runtime, folder).notRegular());
    std::filesystem::remove(lockFile);
    ASSERT_EQ(::symlink((dir / "anderswo").c_str(), lockFile.c_str()), 0);
    const InstanceLock lock = InstanceLock::acquire(runtime, folder);
    EXPECT_TRUE(lock.result() == Result::Failed && lock.errorNumber() == ELOOP);
    EXPECT_FALSE(std::filesystem::exists(dir / "anderswo"));
}
