// Measures the title menu: the time from program start to a painted title window, and the
// processor time the idle title loop takes (it must sleep between its 16 ms frames).
//
//   title_measure startup [folder]        milliseconds from main() to the first paint
//   title_measure idle [seconds] [folder] CPU share of one core while the menu idles
//   title_measure show [seconds] [folder] just shows the menu (for screenshots)
//   title_measure demo FOLDER             writes the demo packs and skin into FOLDER
//
// Without a folder a demo program folder with two packs and a skin is made and removed.
#include "app/Wait.h"
#include "app/random.h"
#include "app/state.h"
#include "levels/packfile.h"
#include "title/Titel.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

double msSince(SteadyTime t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void makeDemoFolder(const QString& dir) {
    using namespace lumor;
    SeededRandom random(7);
    auto level = [](int n) {
        LevelRecord r;
        r.Name = "Level " + std::to_string(n);
        r.Password = "PASS" + std::to_string(n);
        r.cell(2, 5) = 2;
        r.cell(17, 5) = 5;
        r.Stock[0] = 1;
        return r;
    };
    PackHeader h;
    h.PackTitle = "Erste Schritte";
    h.PackAuthor = "Lumor-Team";
    h.PackRemark =
        "Zw\xf6lf leichte R\xe4tsel zum Eingew\xf6hnen: Quellen, Ziele und die ersten Umlenker.";
    h.PackLink = "https://lumor.example.org/";
    std::vector<LevelRecord> levels;
    for (int i = 1; i <= 12; ++i) levels.push_back(level(i));
    writePack((dir + "/Erste Schritte.llp").toStdString(), h, levels, random);
    PackHeader h2;
    h2.PackAuthor = "Gast";
    writePack((dir + "/Profi.llp").toStdString(), h2, {level(1)}, random);

    QDir(dir).mkpath("Skins");
    QImage skin(627, 33, QImage::Format_RGB32);
    skin.fill(QColor(0, 0, 128));
    QPainter p(&skin);
    for (int k = 0; k < 19; ++k) {
        const QRect sq(33 * k, 0, 32, 32);
        p.fillRect(sq, k == 0 ? QColor(0, 0, 0) : QColor::fromHsv((k * 37) % 360, 160, 200));
    }
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(33 + 16, 4, 33 + 16, 28);  // a source pointing up
    p.drawEllipse(QPoint(66 + 16, 16), 8, 8);
    p.end();
    skin.save(dir + "/Skins/Default.bmp", "BMP");
}

}  // namespace

int main(int argc, char** argv) {
    const SteadyTime started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    const double appReady = msSince(started);
    const QStringList args = app.arguments();
    const QString mode = args.value(1, QStringLiteral("startup"));
    if (mode == QStringLiteral("demo")) {
        if (args.size() < 3) return 2;
        QDir().mkpath(args[2]);
        makeDemoFolder(args[2]);
        return 0;
    }
    int argFolder = 2;
    double seconds = 30;
    if (mode != QStringLiteral("startup")) {
        seconds = args.value(2, QStringLiteral("30")).toDouble();
        argFolder = 3;
    }

    std::unique_ptr<QTemporaryDir> demo;
    QString folder = args.value(argFolder);
    if (folder.isEmpty()) {
        demo = std::make_unique<QTemporaryDir>();
        folder = demo->path();
        makeDemoFolder(folder);
    }
    lumor::ProgramState& st = lumor::state();
    st.AppFolder = QDir(folder).absolutePath().toStdString() + "/";
    st.FolderWritable = QFileInfo(folder).isWritable();

    lumor::Titel titel;
    titel.hooks.openUrl = [](const QUrl&) { return true; };
    const double built = msSince(started);
    if (!titel.Form_Load()) return 1;
    const double loaded = msSince(started);

    struct FirstPaint : QObject {
        std::function<void()> then;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && then) {
                auto done = std::move(then);
                then = nullptr;
                QTimer::singleShot(0, done);  // runs once the paint has finished
            }
            return false;
        }
    } firstPaint;
    titel.installEventFilter(&firstPaint);

    if (mode == QStringLiteral("startup")) {
        firstPaint.then = [&] {
            std::printf(
                "start to painted title menu: %.1f ms (application %.1f, window built %.1f, "
                "loaded %.1f)\n",
                msSince(started), appReady, built, loaded);
            titel.close();
        };
    } else if (mode == QStringLiteral("idle")) {
        // Two seconds to settle (first page typed, fonts cached), then the measured span.
        QTimer::singleShot(2000, [&] {
            const double cpu0 = cpuSeconds();
            const SteadyTime wall0 = std::chrono::steady_clock::now();
            QTimer::singleShot(static_cast<int>(seconds * 1000), [&titel, cpu0, wall0] {
                const double cpu = cpuSeconds() - cpu0;
                const double wall = msSince(wall0) / 1000;
                std::printf("idle title menu: %.3f s CPU in %.1f s = %.2f %% of one core\n", cpu,
                            wall, 100 * cpu / wall);
                titel.close();
            });
        });
    } else {
        QTimer::singleShot(static_cast<int>(seconds * 1000), [&] { titel.close(); });
    }
    titel.show();
    return titel.runLoop();
}
