#include "title/helptext.h"

#include "levels/cp1252.h"

namespace lumor {
namespace {

// The texts are written here in UTF-8 for reading and kept as Windows-1252.
std::string cp(const char* utf8) { return cp1252::fromUtf8(utf8).value_or(std::string()); }

std::string joinPage(std::initializer_list<const char*> lines) {
    std::string page;
    for (const char* line : lines) page += cp(line) + "   |";
    return page;
}

// Appends the three-shade glow of the character at `position` (1-based) drawn at x.
void glow(TypeStep& step, const std::string& text, int position, int x, int y) {
    auto at = [&](int p) { return static_cast<unsigned char>(text[static_cast<size_t>(p - 1)]); };
    step.glyphs.push_back({x, y, at(position), Shade::DarkGrey});
    if (position >= 2)
        step.glyphs.push_back({x - GlyphWidth, y, at(position - 1), Shade::LightGrey});
    if (position >= 3)
        step.glyphs.push_back({x - 2 * GlyphWidth, y, at(position - 2), Shade::White});
}

}  // namespace

const std::array<std::string, HelpPageCount>& helpPages() {
    static const std::array<std::string, HelpPageCount> pages = {
        joinPage({"  Willkommen!", "Dies ist LUMOR, ein wirklich", "tolles Programm! Wie ihr euch",
                  "bedanken könnt? Einfach auf", "meine Homepage gehen, also",
                  "oben auf \"LUMOR\" klicken!", "Dort könnt ihr euch übrigens",
                  "auch neue Skins und Levels", "runterladen."}),
        joinPage({"  OK! Entwickler:", "Programmierung: Lumor-Team", "Grafik: Lumor-Team, alles",
                  "mit eigenem Code gezeichnet", "Musik & Sound: Lumor-Team"}),
        joinPage({"  Kommen wir zur Bedienung:", "Du befindest dich im Haupt-",
                  "menü. Per Start beginnt man", "den Rätselmarathon des",
                  "aktivierten Levelpacks (siehe", "unten).", "Das Passwort, dass sich während",
                  "des Spiels oben, in der Titel-", "leiste in Klammern befindet,",
                  "funktioniert natürlich nur,"}),
        joinPage({"  wenn das passende Levelpack", "gewählt wurde. Die .llp Datei",
                  "muss sich dabei im LUMOR-", "Verzeichnis befinden, damit sie",
                  "gefunden wird. Falls du selber", "Levels erstellt hast, kannst",
                  "du sie auf meiner HP", "hochladen."}),
        joinPage({"  Du gibst damit einen Teil", "meiner Liebe wieder zurück!",
                  "(Und nebenbei ist es Werbung", "für deine Homepage...)"}),
        joinPage({"  Du darfst jetzt wählen..."}),
        joinPage({"  Dumdidum..."}),
        joinPage({"  Links..."}),
        joinPage({"  Wo Start, Passwort usw.", "steht..."}),
        joinPage({"  Einfach drauf klicken..."}),
        joinPage({"  Ich geb's auf..."}),
    };
    return pages;
}

std::string menuCaption(int entry, bool folderWritable) {
    switch (entry) {
        case 0:
            return "Start";
        case 1:
            return "Passwort";
        case 2:
            return folderWritable ? "Editor" : "Install";
        case 3:
            return "LevelPack";
        case 4:
            return "Skin";
        case 5:
            return "Option";
        default:
            return {};
    }
}

std::string menuHint(int entry, bool folderWritable) {
    switch (entry) {
        case 0:
            return cp("  Startet das Spiel des aktuelle LevelPacks im 1. Level   ");
        case 1:
            return cp("  Passworteingabe, um in einem der höheren Levels zu starten   ");
        case 2:
            return folderWritable
                       ? cp("  Startet den Editor   ")
                       : cp("  Kopiert das Spiel auf Festplatte und der Editor wird aktiviert   ");
        case 3:
            return cp("  Hier kann man ein anderes LevelPack wählen   ");
        case 4:
            return cp("  Hier kann man einen anderen Skin wählen   ");
        case 5:
            return cp("  Hier ändern sie die Einstellungen des Spiels   ");
        default:
            return {};
    }
}

HelpTyper::HelpTyper(std::vector<std::string> pages) : pages_(std::move(pages)) {
    if (pages_.empty()) pages_.emplace_back();
}

TypeStep HelpTyper::frame() {
    TypeStep step;
    if (++frameCounter_ <= 4) return step;
    frameCounter_ = 0;

    const std::string& text = pages_[static_cast<size_t>(page_)];
    const int length = static_cast<int>(text.size());
    if (position_ <= length) {
        if (position_ == 0) {
            x_ = 2;
            y_ = 2;
            step.clear = true;
            position_ = 3;
        }
        if (position_ <= length) {
            if (text[static_cast<size_t>(position_ - 1)] == '|') {
                y_ += GlyphLineHeight;
                x_ = 2;
            } else {
                glow(step, text, position_, x_, y_);
                x_ += GlyphWidth;
            }
        }
    }
    ++position_;
    if (position_ > length + 25) {
        position_ = 0;
        page_ = (page_ + 1) % static_cast<int>(pages_.size());
    }
    return step;
}

TypeStep StatusTyper::frame() {
    TypeStep step;
    if (text_ != shown_) {
        shown_ = text_;
        position_ = 3;
        step.clear = true;
    }
    if (position_ < static_cast<int>(shown_.size())) {
        ++position_;
        glow(step, shown_, position_, GlyphWidth * position_ - 2 * GlyphWidth, 0);
    }
    return step;
}

bool StatusTyper::busy() const {
    return text_ != shown_ || position_ < static_cast<int>(shown_.size());
}

}  // namespace lumor
