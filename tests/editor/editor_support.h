// Shared set-up of the editor's window tests: a scratch program folder, the program-wide
// state put back afterwards, and the message, input and question boxes answered in code.
#pragma once

#include "app/Dialogs.h"
#include "app/random.h"
#include "app/state.h"
#include "levels/packfile.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace lumor::testing {

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::make_unique<ProgramState>(state());
        state().AppFolder = dir.path().toStdString() + "/";
        state().handover.clear();
        dialogHooks().message = [this](const QString& t) { messages << t; };
        dialogHooks().input = [this](const QString& p) -> std::optional<QString> {
            prompts << p;
            if (inputs.empty()) return std::nullopt;
            const std::optional<QString> a = inputs.front();
            inputs.pop_front();
            return a;
        };
        dialogHooks().question = [this](const QString& t, QuestionButtons b) {
            questions << t;
            buttons.push_back(b);
            if (answers.empty()) return Answer::Cancel;
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        };
    }
    void TearDown() override {
        dialogHooks() = {};
        state() = *saved_;
    }

    std::string file(const QString& name) const { return (dir.path() + "/" + name).toStdString(); }
    std::string bytesOf(const QString& name) const {
        QFile f(dir.path() + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    // A pack of levels named prefix + "1", prefix + "2", ..., each with a cell of its own.
    static std::vector<LevelRecord> levels(const std::string& prefix, int n) {
        std::vector<LevelRecord> r(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            LevelRecord& l = r[static_cast<size_t>(i)];
            l.Name = prefix + std::to_string(i + 1);
            l.Password = "PW" + l.Name;
            l.cell(i % 20, i / 20 % 12) = static_cast<int16_t>(1 + i % 20);
            l.Stock[0] = static_cast<int16_t>(i);
            l.Stock[12] = static_cast<int16_t>(100 + i);
        }
        return r;
    }
    void writePackFile(const QString& name, const std::vector<LevelRecord>& list,
                       const std::string& password = {}, const std::string& title = {}) {
        PackHeader h;
        h.PackTitle = title;
        h.PackPassword = password;
        SeededRandom random(3);
        ASSERT_TRUE(writePack(file(name), h, list, random).ok);
    }

    // Another checksum on the last line: the pack reads as damaged.
    void damage(const QString& name) {
        std::string bytes = bytesOf(name);
        bytes.insert(bytes.size() - 2, "1");
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    QTemporaryDir dir;
    QStringList messages, prompts, questions;
    std::vector<QuestionButtons> buttons;
    std::deque<std::optional<QString>> inputs;
    std::deque<Answer> answers;

private:
    std::unique_ptr<ProgramState> saved_;
};

}  // namespace lumor::testing
