// Reading only regular files within a limit, and saving only over regular files.
#include "app/files.h"
#include "app/paths.h"

#include "support/hostile.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>

using namespace lumor;
using lumortest::Hostile;
using lumortest::readFile;
using lumortest::writeFile;
namespace fs = std::filesystem;

namespace {

class Files : public lumortest::ScratchFolderTest {
protected:
    std::string at(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> names() const { return lumortest::entriesOf(dir); }
};

}  // namespace

TEST_F(Files, ReadersTakeOnlyRegularFilesWithinTheirLimit) {
    std::string bytes;
    writeFile(at("zehn"), "0123456789");
    EXPECT_EQ(readRegularFile(at("zehn"), 10, bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(readRegularFile(at("zehn"), 9, bytes), ReadStatus::TooLarge);
    EXPECT_EQ(readRegularFile(at("fehlt"), 10, bytes), ReadStatus::Missing);
    ASSERT_EQ(::symlink(at("zehn").c_str(), at("link").c_str()), 0);
    EXPECT_EQ(readRegularFile(at("link"), 10, bytes), ReadStatus::Ok) << "a link to a file is read";
    EXPECT_TRUE(FileExists(at("link")));

    // Whatever else lies under a name: each reader's own tests.
    ASSERT_TRUE(lumortest::makeHostile(Hostile::Fifo, at("fifo")));
    EXPECT_EQ(readRegularFile(at("fifo"), 10, bytes), ReadStatus::NotRegular) << "and no waiting";
    EXPECT_FALSE(FileExists(at("fifo")));
}

TEST_F(Files, SavesReplaceOnlyRegularFilesAndNewNames) {
    EXPECT_EQ(saveFileAtomically(at("neu"), "eins"), SaveStatus::Ok);
    ::chmod(at("neu").c_str(), 0640);
    EXPECT_EQ(saveFileAtomically(at("neu"), "zwei"), SaveStatus::Ok);
    EXPECT_EQ(readFile(at("neu")), "zwei");
    EXPECT_EQ(fs::status(at("neu")).permissions(), static_cast<fs::perms>(0640));

    // Through a link: the file it leads to is saved, the link stays; the program's own
    // saves refuse it and leave that file alone.
    ASSERT_EQ(::symlink("neu", at("link").c_str()), 0);
    EXPECT_EQ(saveFileAtomically(at("link"), "drei"), SaveStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(at("link")));
    EXPECT_EQ(readFile(at("neu")), "drei");
    EXPECT_EQ(saveFileAtomically(at("link"), "nie", LinkPolicy::Refuse), SaveStatus::Link);
    EXPECT_EQ(readFile(at("neu")), "drei");

    // Read-only means read-only for everybody, also when running as the superuser.
    ::chmod(at("neu").c_str(), 0444);
    EXPECT_EQ(saveFileAtomically(at("neu"), "vier"), SaveStatus::ReadOnly);
    EXPECT_EQ(saveFileAtomically(at("link"), "vier"), SaveStatus::ReadOnly);
    EXPECT_EQ(readFile(at("neu")), "drei");

    for (Hostile h : {Hostile::EndlessDevice, Hostile::Fifo, Hostile::Folder}) {
        const std::string path = at(std::string("x") + std::to_string(static_cast<int>(h)));
        ASSERT_TRUE(lumortest::makeHostile(h, path));
        EXPECT_EQ(saveFileAtomically(path, "x"), SaveStatus::NotRegular) << nameOf(h);
    }
    ASSERT_EQ(::symlink("nirgends", at("ins-leere").c_str()), 0);
    EXPECT_EQ(saveFileAtomically(at("ins-leere"), "x"), SaveStatus::NotRegular);
    EXPECT_FALSE(fs::exists(at("nirgends")));
    EXPECT_EQ(saveFileAtomically(at("fehlt/neu"), "x"), SaveStatus::NoFolder);
    EXPECT_EQ(names(), (std::vector<std::string>{"ins-leere", "link", "neu", "x1", "x2", "x3"}))
        << "no temporary file stays behind";
}

TEST_F(Files, LeftoversOfKilledSavesGoWithTheNextSave) {
    // Only hidden names ending in the mark and six letters or digits are a save's.
    const std::vector<std::string> others = {".pack.llp.lumor-a1B2c", ".x.lumor-a1B2c_",
                                             "pack.llp.lumor-a1B2c3"};
    for (const std::string& name : others) writeFile(at(name), "not ours");
    writeFile(at(".pack.llp.lumor-dead01"), "half a pack");
    writeFile(at(".other.llp.lumor-dead02"), "someone else's");
    writeFile(at(".pack.llp.lumor-alive1"), "being written");
    const int alive = ::open(at(".pack.llp.lumor-alive1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(alive, LOCK_EX), 0);  // as a save in progress holds it
    EXPECT_EQ(saveFileAtomically(at("pack.llp"), "pack"), SaveStatus::Ok);
    EXPECT_EQ(names(), (std::vector<std::string>{".other.llp.lumor-dead02", others[0],
                                                 ".pack.llp.lumor-alive1", others[1], "pack.llp",
                                                 others[2]}));
    ::close(alive);
    removeSaveLeftovers(dir.string());
    EXPECT_EQ(names(), (std::vector<std::string>{others[0], others[1], "pack.llp", others[2]}));
}
