#include <QApplication>
#include <QWidget>

#include "app/Startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title menu until its window takes over here.
    std::unique_ptr<QWidget> titel;
    return lumor::runProgram(app, [&] {
        titel = std::make_unique<QWidget>();
        titel->setWindowTitle("Lumor");
        titel->show();
    });
}
