// How the title window starts the installer on this platform: "Install.exe" is the
// program "Install" of the program folder; one that cannot be started is reported.
#include "support/program.h"
#include "title/Titel.h"

#include <QTest>

namespace {

namespace fs = std::filesystem;

class InstallEntry : public lumortest::ProgramTest {};

TEST_F(InstallEntry, StartsTheProgramWithoutExtensionOrSaysWhyNot) {
    lumor::Titel t(nullptr, clock);
    // Names are matched without regard to case, as everywhere in the program folder.
    write("install", "#!/bin/sh\npwd > started\n");
    fs::permissions(dir / "install", fs::perms::owner_all);
    EXPECT_TRUE(t.hooks.startProgram(path("Install.exe")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !read("started").isEmpty(); }, 10000));
    EXPECT_EQ(read("started").trimmed(), QByteArray::fromStdString(dir.string()))
        << "started in the program folder";
    EXPECT_TRUE(messages.isEmpty());

    fs::remove(dir / "install");
    EXPECT_FALSE(t.hooks.startProgram(path("Install.exe")));
    EXPECT_EQ(messages, QStringList{"„Install“ konnte nicht gestartet werden."});
}

}  // namespace
