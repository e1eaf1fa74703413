#include <QApplication>

#include <memory>

#include "app/Startup.h"
#include "app/edition.h"
#include "title/Titel.h"

int main(int argc, char** argv) {
#ifdef LUMOR_EARLIER_RELEASE
    lumor::setEdition(lumor::Edition::Earlier);
#endif
    auto guard = std::make_unique<lumor::PlatformStartGuard>();
    QApplication app(argc, argv);
    guard.reset();
    return lumor::runProgram(app, [] { lumor::showTitleMenu(); });
}
