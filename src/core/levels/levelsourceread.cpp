// Reading a level source: the lines of the text, the header, the levels with their board,
// stock, solution and intent, and the first error with its line.
#include "levels/levelsource.h"

#include "levels/cp1252.h"
#include "levels/sourcetext.h"
#include "play/elements.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace lumor {
namespace {

using namespace sourcetext;

// The lines of a text, LF or CR LF, found once and kept as where they start: 4 bytes a
// line, where a string each took 32 (8 MB of line ends took 270 MB). A byte-order mark at
// the start is no part of the first line.
class Lines {
public:
    explicit Lines(const std::string& text) : text_(text) {
        size_t start = text.compare(0, Bom.size(), Bom) == 0 ? Bom.size() : 0;
        while (start < text.size()) {
            starts_.push_back(static_cast<uint32_t>(start));
            const size_t end = text.find('\n', start);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    size_t size() const { return starts_.size(); }
    std::string operator[](size_t i) const {
        const size_t start = starts_[i];
        size_t end = i + 1 < starts_.size() ? starts_[i + 1] - 1 : text_.find('\n', start);
        if (end == std::string::npos) end = text_.size();
        if (end > start && text_[end - 1] == '\r') --end;
        return text_.substr(start, end - start);
    }
    // Texts beyond what 32-bit line starts reach are not taken.
    static constexpr size_t MaxText = UINT32_MAX;

private:
    static constexpr std::string_view Bom = "\xEF\xBB\xBF";
    const std::string& text_;
    std::vector<uint32_t> starts_;
};

class Parser {
public:
    explicit Parser(const std::string& text) : lines_(text) {}

    LevelSourceResult run() {
        LevelSourceResult result;
        if (!parse(result.source)) {
            result.error = "Zeile " + std::to_string(errorLine_) + ": " + error_;
            return result;
        }
        result.ok = true;
        return result;
    }

private:
    bool fail(size_t index, std::string message) {
        errorLine_ = index + 1;
        error_ = std::move(message);
        return false;
    }

    static bool skippable(const std::string& line) {
        const std::string t = trim(line);
        return t.empty() || t.front() == ';';
    }

    bool text(size_t i, const std::string& value, std::string& out) {
        std::string err;
        if (!packText(value, out, err)) return fail(i, err);
        return true;
    }

    // A 16-bit number: one written right but out of range is called too large or too
    // small (`what` names it), anything else fails with `otherwise`.
    bool number16(size_t i, const std::string& value, int& out, const std::string& what,
                  const std::string& otherwise) {
        switch (readInt(value, INT16_MIN, INT16_MAX, out)) {
            case Number::Ok:
                return true;
            case Number::TooLarge:
                return fail(i, what + " ist zu gro\u00df (h\u00f6chstens 32767)");
            case Number::TooSmall:
                return fail(i, what + " ist zu klein (mindestens -32768)");
            case Number::NotOne:
                break;
        }
        return fail(i, otherwise);
    }

    bool parse(LevelSource& src) {
        size_t i = 0;
        while (i < lines_.size() && skippable(lines_[i])) ++i;
        if (i >= lines_.size() || trim(lines_[i]) != LevelSourceMagic)
            return fail(i < lines_.size() ? i : 0,
                        "die Quelle muss mit \"" + LevelSourceMagic + "\" beginnen");
        ++i;
        std::map<std::string, std::string*> headerKeys = {
            {"Titel", &src.header.PackTitle},      {"Autor", &src.header.PackAuthor},
            {"Bemerkung", &src.header.PackRemark}, {"Schlussmeldung", &src.header.PackEndMessage},
            {"Link", &src.header.PackLink},        {"Packpasswort", &src.header.PackPassword}};
        std::map<std::string, bool> seen;
        for (; i < lines_.size(); ++i) {
            if (skippable(lines_[i])) continue;
            std::string key, value;
            if (!splitKey(lines_[i], key, value))
                return fail(i, "erwartet wird \"Schl\u00fcssel: Wert\"");
            if (key == "Level") break;
            if (key == "Schwerer als") {
                if (seen[key]) return fail(i, "\"" + key + "\" steht doppelt");
                seen[key] = true;
                src.harderThan = trim(value);
                if (src.harderThan.empty()) return fail(i, "\"Schwerer als\" braucht einen Titel");
                continue;
            }
            const auto it = headerKeys.find(key);
            if (it == headerKeys.end())
                return fail(i, "unbekannter Eintrag \"" + key + "\" im Kopf");
            if (seen[key]) return fail(i, "\"" + key + "\" steht doppelt");
            seen[key] = true;
            if (!text(i, value, *it->second)) return false;
        }
        while (i < lines_.size()) {
            if (src.levels.size() == static_cast<size_t>(MaxLevels))
                return fail(i, "mehr als " + std::to_string(MaxLevels) + " Levels");
            SourceLevel level;
            if (!parseLevel(i, level)) return false;
            src.levels.push_back(std::move(level));
        }
        return true;
    }

    // Parses the level starting at lines_[i] ("Level: ..."); leaves i at the next level.
    bool parseLevel(size_t& i, SourceLevel& level) {
        std::string key, value;
        splitKey(lines_[i], key, value);
        level.line = static_cast<int>(i + 1);
        if (!text(i, value, level.record.Name)) return false;
        if (level.record.Name == Levels::EndMarkerName)
            return fail(i,
                        "ein Level darf nicht \"*\" hei\u00dfen (das ist die Endmarke der Liste)");
        std::map<std::string, bool> seen;
        bool board = false;
        std::vector<std::pair<size_t, int>> unknownCells;  // line index of '?', cell index
        std::map<int, bool> cellGiven;
        for (++i; i < lines_.size(); ++i) {
            if (skippable(lines_[i])) continue;
            if (!splitKey(lines_[i], key, value))
                return fail(i, "erwartet wird \"Schl\u00fcssel: Wert\"");
            if (key == "Level") break;
            if (key.rfind("Zelle", 0) == 0) {
                if (!board) return fail(i, "\"Zelle\" steht vor dem Brett");
                int x = 0, y = 0, code = 0;
                const auto xy = splitOn(trim(key.substr(5)), ',');
                if (xy.size() != 2 || !parseInt(xy[0], 0, BoardWidth - 1, x) ||
                    !parseInt(xy[1], 0, BoardHeight - 1, y))
                    return fail(i, "erwartet wird \"Zelle x,y: Code\" mit x 0-19 und y 0-11");
                if (!number16(i, value, code, "der Code",
                              "der Code muss eine Zahl von -32768 bis 32767 sein"))
                    return false;
                const int idx = cellIndex(x, y);
                if (cellGiven[idx] || std::none_of(unknownCells.begin(), unknownCells.end(),
                                                   [&](const auto& u) { return u.second == idx; }))
                    return fail(i, "auf dem Brett steht an dieser Stelle kein \"?\"");
                if (elementOf(code))
                    return fail(i, "Code " + std::to_string(code) +
                                       " hat ein eigenes Zeichen auf dem Brett");
                level.record.Cells[static_cast<size_t>(idx)] = static_cast<int16_t>(code);
                cellGiven[idx] = true;
                continue;
            }
            if (seen[key]) return fail(i, "\"" + key + "\" steht doppelt");
            seen[key] = true;
            if (key == "Passwort") {
                if (!text(i, value, level.record.Password)) return false;
            } else if (key == "Vorrat") {
                if (!parseStock(i, value, level.record)) return false;
            } else if (key == "Vorrat 9-15") {
                const auto parts = splitOn(trim(value), ' ');
                std::vector<int> numbers;
                for (const auto& p : parts) {
                    if (p.empty()) continue;
                    int v = 0;
                    if (!number16(i, p, v, "eine Zahl in \"Vorrat 9-15\"",
                                  "\"Vorrat 9-15\" braucht sieben Zahlen"))
                        return false;
                    numbers.push_back(v);
                }
                if (numbers.size() != 7) return fail(i, "\"Vorrat 9-15\" braucht sieben Zahlen");
                for (size_t k = 0; k < 7; ++k)
                    level.record.Stock[9 + k] = static_cast<int16_t>(numbers[k]);
            } else if (key == "Bestwert") {
                int v = 0;
                if (!parseInt(value, -1, 32767, v))
                    return fail(i, "\"Bestwert\" braucht eine Zahl");
                level.bestLeft = v;
            } else if (key == "L\u00f6sung") {
                std::vector<SourcePiece> pieces;
                if (!trim(value).empty())
                    for (const auto& part : splitOn(value, '|')) {
                        SourcePiece p;
                        if (!parsePiecePos(part, p.slot, p.x, p.y))
                            return fail(i,
                                        "erwartet wird \"Stein x,y | ...\", z. B. \"\u250C 4,7\"");
                        pieces.push_back(p);
                    }
                level.solution = std::move(pieces);
            } else if (key == "Absicht") {
                if (!parseIntent(i, value, level.intent)) return false;
            } else if (key == "Grund") {
                level.reason = trim(value);
                if (level.reason.empty()) return fail(i, "\"Grund\" braucht einen Text");
            } else if (key == "Brett") {
                if (!trim(value).empty())
                    return fail(i, "das Brett beginnt in der Zeile nach \"Brett:\"");
                if (!parseBoard(i, level.record, unknownCells)) return false;
                board = true;
            } else {
                return fail(i, "unbekannter Eintrag \"" + key + "\"");
            }
        }
        const size_t levelLine = static_cast<size_t>(level.line - 1);
        if (!board) return fail(levelLine, "dem Level fehlt das Brett");
        if (!seen["Vorrat"]) return fail(levelLine, "dem Level fehlt der Vorrat");
        for (const auto& [line, idx] : unknownCells)
            if (!cellGiven[idx])
                return fail(line, "zu \"?\" in Spalte " + std::to_string(idx % BoardWidth) +
                                      " fehlt die Zeile \"Zelle " +
                                      std::to_string(idx % BoardWidth) + "," +
                                      std::to_string(idx / BoardWidth) + ": Code\"");
        return true;
    }

    bool parseIntent(size_t i, const std::string& value, LevelIntent& intent) {
        const std::string usage =
            "erwartet wird z. B. \"Absicht: L\u00f6sungen 5 | K\u00f6der # | Reserve 1 | "
            "Reserve \u00f6ffnet | \u00c4hnlich PASSWORT | Einf\u00fchrung\"";
        std::map<std::string, bool> given;
        for (const auto& rawPart : splitOn(value, '|')) {
            const std::string part = trim(rawPart);
            const size_t blank = part.find(' ');
            const std::string word = part.substr(0, blank);
            const std::string rest = blank == std::string::npos ? "" : trim(part.substr(blank));
            if (word.empty()) return fail(i, usage);
            const std::string name =
                word == "Reserve" && rest == "\u00f6ffnet" ? "Reserve \u00f6ffnet" : word;
            if (given[name] && word != "\u00c4hnlich")
                return fail(i, "\"" + name + "\" steht doppelt in der Absicht");
            given[name] = true;
            int n = 0;
            if (name == "L\u00f6sungen") {
                if (!parseInt(rest, 1, 1000000, n))
                    return fail(i, "\"L\u00f6sungen\" braucht eine Zahl ab 1");
                intent.placements = n;
            } else if (name == "Reserve \u00f6ffnet") {
                intent.spareOpens = true;
            } else if (name == "Reserve") {
                if (!parseInt(rest, 1, 1000, n))
                    return fail(i, "\"Reserve\" braucht eine Zahl ab 1");
                intent.spare = n;
            } else if (name == "K\u00f6der") {
                std::vector<std::string> chars;
                if (!splitUtf8(rest, chars)) return fail(i, usage);
                for (const std::string& c : chars) {
                    if (c == " ") continue;
                    const auto slot = slotOfSourceChar(c);
                    if (!slot)
                        return fail(
                            i, "\"K\u00f6der\" nennt Steine: # + \u250C \u2510 \u2518 \u2514 ~ T");
                    if (std::find(intent.decoys.begin(), intent.decoys.end(), *slot) !=
                        intent.decoys.end())
                        return fail(i, "der K\u00f6der " + c + " steht doppelt");
                    intent.decoys.push_back(*slot);
                }
                if (intent.decoys.empty())
                    return fail(i,
                                "\"K\u00f6der\" nennt Steine: # + \u250C \u2510 \u2518 \u2514 ~ T");
                std::sort(intent.decoys.begin(), intent.decoys.end());
            } else if (name == "\u00c4hnlich") {
                std::string password;
                std::string err;
                if (rest.empty() || !packText(rest, password, err))
                    return fail(i, "\"\u00c4hnlich\" nennt das Passwort eines Levels");
                intent.similarTo.push_back(password);
            } else if (name == "Einf\u00fchrung" && rest.empty()) {
                intent.teaching = true;
            } else {
                return fail(i, usage);
            }
        }
        return true;
    }

    bool parseStock(size_t i, const std::string& value, LevelRecord& record) {
        const auto parts = splitOn(value, '|');
        int total = 0;
        if (!number16(i, parts[0], total, "die Gesamtzahl des Vorrats",
                      "der Vorrat beginnt mit der Gesamtzahl"))
            return false;
        record.Stock[0] = static_cast<int16_t>(total);
        std::array<bool, 9> given{};
        for (size_t k = 1; k < parts.size(); ++k) {
            const std::string t = trim(parts[k]);
            std::vector<std::string> chars;
            int count = 0;
            std::optional<int> slot;
            if (splitUtf8(t, chars) && !chars.empty()) slot = slotOfSourceChar(chars[0]);
            const std::string usage =
                "erwartet wird \"Stein Anzahl\", z. B. \"# 2\"; Steine: # + \u250C \u2510 "
                "\u2518 \u2514 ~ T";
            if (!slot) return fail(i, usage);
            if (!number16(i, t.substr(chars[0].size()), count, "die Anzahl von " + chars[0], usage))
                return false;
            if (given[static_cast<size_t>(*slot)])
                return fail(i, "der Stein " + chars[0] + " steht doppelt im Vorrat");
            given[static_cast<size_t>(*slot)] = true;
            record.Stock[static_cast<size_t>(*slot)] = static_cast<int16_t>(count);
        }
        return true;
    }

    bool parseBoard(size_t& i, LevelRecord& record,
                    std::vector<std::pair<size_t, int>>& unknownCells) {
        for (int y = 0; y < BoardHeight; ++y) {
            const size_t li = i + 1 + static_cast<size_t>(y);
            if (li >= lines_.size()) return fail(lines_.size() - 1, "das Brett braucht 12 Zeilen");
            std::vector<std::string> chars;
            if (!splitUtf8(lines_[li], chars)) return fail(li, "kein g\u00fcltiges UTF-8");
            while (!chars.empty() && (chars.back() == " " || chars.back() == "\t"))
                chars.pop_back();
            if (chars.size() != static_cast<size_t>(BoardWidth))
                return fail(li, "eine Brettzeile hat 20 Zeichen, hier sind es " +
                                    std::to_string(chars.size()));
            for (int x = 0; x < BoardWidth; ++x) {
                const std::string& c = chars[static_cast<size_t>(x)];
                if (c == SourceOtherCode) {
                    record.cell(x, y) = -1;  // filled by its "Zelle" line
                    unknownCells.push_back({li, cellIndex(x, y)});
                    continue;
                }
                const auto code = codeOfSourceChar(c);
                if (!code)
                    return fail(li,
                                "unbekanntes Zeichen \"" + c + "\" in Spalte " + std::to_string(x));
                record.cell(x, y) = static_cast<int16_t>(*code);
            }
        }
        i += BoardHeight;
        return true;
    }

    Lines lines_;
    size_t errorLine_ = 0;
    std::string error_;
};

}  // namespace

std::vector<LevelRecord> LevelSource::records() const {
    std::vector<LevelRecord> out;
    out.reserve(levels.size());
    for (const auto& l : levels) out.push_back(l.record);
    return out;
}

LevelSourceResult parseLevelSource(const std::string& utf8) {
    if (utf8.size() > Lines::MaxText) {
        LevelSourceResult r;
        r.error = "Zeile 1: die Quelle ist zu gro\u00df";
        return r;
    }
    return Parser(utf8).run();
}

}  // namespace lumor
