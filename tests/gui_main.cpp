// GUI tests share one QApplication on the offscreen platform, with a dummy audio driver.
#include "app/Audio.h"

#include <gtest/gtest.h>
#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    lumor::shutdownAudio();  // as the program does at its end: loaded sounds are freed
    return result;
}
