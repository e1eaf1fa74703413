// The program around a window under test: a scratch folder as the program folder, the
// program-wide state as a fresh start leaves it, a test clock, message and input boxes
// answered by the test, and all of it put back afterwards.
#pragma once

#include "app/Audio.h"
#include "app/Dialogs.h"
#include "app/Wait.h"
#include "app/state.h"
#include "play/Bilder.h"
#include "support/scratch.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QtTest/QTest>

#include <cstdlib>
#include <deque>
#include <optional>
#include <ostream>
#include <string>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QImage& i, std::ostream* os) {
    *os << "QImage " << i.width() << "x" << i.height();
}
QT_END_NAMESPACE

namespace lumortest {

// The mouse moved onto `w` at `at` (its own coordinates) with no button held.
inline void hover(QWidget* w, QPointF at = {5, 5}) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// A click on row `row` of a list, and with `twice` a double click after it.
inline void clickRow(QListWidget* list, int row, bool twice = false) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

class ProgramTest : public ScratchFolderTest {
protected:
    void SetUp() override {
        saved_ = lumor::state();
        // The player's own data (progress) goes to a hidden folder of the scratch folder.
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) savedXdg_ = xdg;
        ::setenv("XDG_DATA_HOME", (dir / ".daten").c_str(), 1);
        lumor::ProgramState fresh;
        fresh.AppFolder = dir.string() + "/";
        fresh.FolderWritable = true;
        lumor::state() = fresh;
        lumor::dialogHooks().message = [this](const QString& text) { messages << text; };
        lumor::dialogHooks().input = [this](const QString& prompt,
                                            const QString& initial) -> std::optional<QString> {
            prompts << prompt;
            offered << initial;
            if (answers.empty()) return std::nullopt;
            const std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
    void TearDown() override {
        clock.onWait = nullptr;
        lumor::shutdownAudio();  // nothing the window started goes on sounding
        lumor::dialogHooks() = {};
        lumor::state() = saved_;
        lumor::bilder() = lumor::Bilder();
        if (savedXdg_)
            ::setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

    // A file below the program folder.
    QString path(const QString& relative) const {
        return QString::fromStdString((dir / relative.toStdString()).string());
    }
    void write(const QString& relative, const QByteArray& bytes) const {
        writeFile(dir / relative.toStdString(), bytes.toStdString());
    }
    QByteArray read(const QString& relative) const {
        return QByteArray::fromStdString(readFile(dir / relative.toStdString()));
    }

    lumor::FakeClock clock;  // for the windows under test, which are made with it
    QStringList messages;    // message boxes shown
    QStringList prompts;     // input boxes shown
    QStringList offered;     // the text each of them came with
    std::deque<std::optional<QString>> answers;  // for the input boxes, in order (then cancel)

private:
    lumor::ProgramState saved_;
    std::optional<std::string> savedXdg_;
};

}  // namespace lumortest
