#include <QApplication>

#include "app/Startup.h"
#include "app/edition.h"
#include "title/Titel.h"

int main(int argc, char** argv) {
#ifdef LUMOR_EARLIER_RELEASE
    lumor::setEdition(lumor::Edition::Earlier);
#endif
    QApplication app(argc, argv);
    return lumor::runProgram(app, [] { lumor::showTitleMenu(); });
}
