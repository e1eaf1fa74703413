#include "app/Startup.h"

#include <QApplication>
#include <QWidget>

namespace lumor {

int runProgram(QApplication& app) {
    QWidget titel;
    titel.setWindowTitle("Lumor");
    titel.show();
    return app.exec();
}

}  // namespace lumor
