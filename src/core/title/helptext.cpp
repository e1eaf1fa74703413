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
        // The rules of play, as the beam run applies them.
        joinPage({"  Spielregeln 1/7", "Eine Quelle sendet einen Strahl",
                  "in Pfeilrichtung. Ein Ziel nimmt", "ihn nur an seiner offenen Seite",
                  "an; von anderen Seiten endet er.", "Setze Steine aus dem Vorrat auf",
                  "leere Felder, damit die Strahlen", "die Ziele treffen. Über Sterne",
                  "läuft der Strahl hinweg, doch", "dort liegt kein Stein."}),
        joinPage({"  Spielregeln 2/7: Steine", "Wand: hält jeden Strahl auf, von", "allen Seiten.",
                  "Kreuz: der Strahl läuft gerade", "hindurch; nur hier dürfen sich",
                  "zwei Strahlen kreuzen.", "Sand: hält den Strahl einen",
                  "Schritt auf, wird dabei", "weggefressen, dann ist das Feld", "frei."}),
        joinPage({"  Spielregeln 3/7: Umlenker", "Ein Umlenker verbindet zwei",
                  "Seiten seines Feldes, wie sein", "Bild zeigt. Kommt ein Strahl an",
                  "einer offenen Seite herein,", "biegt er zur anderen ab; an",
                  "einer geschlossenen Seite endet", "er. Gedreht wird nicht: jede",
                  "Richtung ist ein eigener Stein."}),
        joinPage({"  Spielregeln 4/7: Teiler", "Der erste Strahl am Teiler wird",
                  "zu zwei Strahlen, die quer zu", "seinem Weg nach beiden Seiten",
                  "weiterlaufen; jeder weitere", "endet dort. Läuft ein Strahl",
                  "auf ein Feld, das schon ein", "Strahl berührt hat, endet er",
                  "dort - nur ein Kreuz lässt", "Strahlen kreuzen."}),
        joinPage({"  Spielregeln 5/7: Vorrat", "Oben der Vorrat: unter jedem",
                  "Stein, wie viele es gibt, und", "\"Gesamt\": wie viele du insgesamt",
                  "setzen darfst. Wähle oben einen", "Stein und klicke ein leeres",
                  "Feld an; mit gewähltem Stein", "nimmt ein Rechtsklick deinen",
                  "Stein zurück. Dann \"Start\"."}),
        joinPage({"  Spielregeln 6/7: Sieg", "Sind alle Strahlen zu Ende und",
                  "liefen so viele in Ziele, wie es", "Ziele gibt: Sieg! Sonst heißt es",
                  "\"Fehlschlag!\" - \"Noch mal\"", "stellt den Level zurück.",
                  "T zeigt einen Tipp: ein Feld", "einer besten Lösung. ¤ und ein",
                  "Passwort in der Passworteingabe", "öffnen den Lösungssucher."}),
        joinPage({"  Spielregeln 7/7: Tasten", "Pfeiltasten: Feld wählen",
                  "1-8: Stein aus dem Vorrat", "Leertaste/Enter: Stein setzen",
                  "  oder zurücknehmen", "S: Start   T: Tipp", "Strg+Z: letzten Stein zurück",
                  "F11: Vollbild", "Klick hier: nächste Seite"}),
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

HelpTyper::HelpTyper(std::vector<std::string> pages, int firstRulesPage)
    : pages_(std::move(pages)), firstRules_(firstRulesPage) {
    if (pages_.empty()) pages_.emplace_back();
    if (firstRules_ >= static_cast<int>(pages_.size())) firstRules_ = -1;
}

void HelpTyper::startPage(int page) {
    page_ = page % static_cast<int>(pages_.size());
    position_ = 0;
    frameCounter_ = 4;  // at once, not five frames later
}

void HelpTyper::click() {
    if (!isRules(page_)) {
        if (firstRules_ >= 0) startPage(firstRules_);
    } else if (position_ == 0 || position_ <= static_cast<int>(pages_[page_].size())) {
        finishPage_ = true;
        frameCounter_ = 4;
    } else {
        startPage(page_ + 1);
    }
}

TypeStep HelpTyper::frame() {
    TypeStep step;
    if (++frameCounter_ <= 4) return step;
    frameCounter_ = 0;

    const std::string& text = pages_[static_cast<size_t>(page_)];
    const int length = static_cast<int>(text.size());
    if (finishPage_) {
        // The whole page in white, laid out as typing it would.
        finishPage_ = false;
        step.clear = true;
        int x = 2, y = 2;
        for (int p = 3; p <= length; ++p) {
            const auto ch = static_cast<unsigned char>(text[static_cast<size_t>(p - 1)]);
            if (ch == '|') {
                y += GlyphLineHeight;
                x = 2;
            } else {
                step.glyphs.push_back({x, y, ch, Shade::White});
                x += GlyphWidth;
            }
        }
        position_ = length + 1;
    } else if (position_ <= length) {
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
    if (position_ > length + (isRules(page_) ? 200 : 25)) {
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
