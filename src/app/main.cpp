#include <QApplication>

#include "app/Startup.h"
#include "title/Titel.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return lumor::runProgram(app, [] { lumor::showTitleMenu(); });
}
