// The editor's windows under test: the program around them with the question boxes
// answered too, and packs written into the program folder.
#pragma once

#include "app/random.h"
#include "levels/packfile.h"
#include "support/program.h"

#include <QListWidget>

#include <deque>
#include <string>
#include <vector>

namespace lumortest {

class EditorFixture : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        lumor::dialogHooks().question = [this](const QString& t, lumor::QuestionButtons b) {
            questions << t;
            buttons.push_back(b);
            if (replies.empty()) return lumor::Answer::Cancel;
            const lumor::Answer a = replies.front();
            replies.pop_front();
            return a;
        };
    }

    std::string file(const char* name) const { return (dir / name).string(); }
    std::string bytesOf(const char* name) const { return readFile(dir / name); }

    // Levels named prefix + "1", prefix + "2", ..., each with a cell and stock of its own.
    static std::vector<lumor::LevelRecord> levels(const std::string& prefix, int n) {
        std::vector<lumor::LevelRecord> r(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            lumor::LevelRecord& l = r[static_cast<size_t>(i)];
            l.Name = prefix + std::to_string(i + 1);
            l.Password = "PW" + l.Name;
            l.cell(i % 20, i / 20 % 12) = static_cast<int16_t>(1 + i % 20);
            l.Stock[0] = static_cast<int16_t>(i);
            l.Stock[12] = static_cast<int16_t>(100 + i);
        }
        return r;
    }
    void writePackFile(const char* name, const std::vector<lumor::LevelRecord>& list,
                       const std::string& password = {}) {
        lumor::PackHeader h;
        h.PackPassword = password;
        lumor::SeededRandom random(3);
        ASSERT_TRUE(lumor::writePack(file(name), h, list, random).ok);
    }
    static QStringList entries(const QListWidget* list) {
        QStringList r;
        for (int i = 0; i < list->count(); ++i) r << list->item(i)->text();
        return r;
    }
    // Another checksum on the last line: the pack reads as damaged.
    void damage(const char* name) {
        std::string bytes = bytesOf(name);
        writeFile(dir / name, bytes.insert(bytes.size() - 2, "1"));
    }

    QStringList questions;                        // question boxes shown
    std::vector<lumor::QuestionButtons> buttons;  // and the buttons each offered
    std::deque<lumor::Answer> replies;            // for the question boxes, in order (then Cancel)
};

}  // namespace lumortest
