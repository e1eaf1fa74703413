#include "levels/levelsource.h"

#include "levels/cp1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <sstream>

namespace lumor {
namespace {

const std::array<std::string, 21> Legend = {
    ".",                                     // 0 empty
    ">",      "v",      "<",      "^",       // 1-4 sources by the direction they emit
    "R",      "D",      "L",      "U",       // 5-8 targets by the direction of the beam they take
    "#",                                     // 9 wall
    "+",                                     // 10 cross
    "\u250C", "\u2510", "\u2518", "\u2514",  // 11-14 deflectors, drawn as the corner they join
    "~",                                     // 15 sand
    "T",                                     // 16 splitter
    "1",      "2",      "3",      "4",       // 17-20 stars
};

const char* const Header =
    "; Lumor-Levelquelle (UTF-8). Der Bau macht daraus ein Levelpack: lumor-pack compile QUELLE "
    "PACK.llp\n"
    "; Brett: 12 Zeilen zu 20 Zeichen, ein Zeichen je Zelle:\n"
    ";   .  leer    #  Wand    +  Kreuz    ~  Sand    T  Teiler    1 2 3 4  Sterne (Verzierung)\n"
    ";   > v < ^    Quelle, strahlt nach rechts / unten / links / oben\n"
    ";   R D L U    Ziel, nimmt einen Strahl, der nach rechts / unten / links / oben l\u00e4uft\n"
    ";   \u250C \u2510 \u2518 \u2514    Umlenker, verbindet rechts+unten / links+unten / "
    "links+oben / rechts+oben\n"
    ";   ?          ein anderer Code, angegeben in einer Zeile \"Zelle x,y: Code\"\n"
    "; Vorrat: Gesamtzahl | Stein Anzahl | ...   (Steine: # + \u250C \u2510 \u2518 \u2514 ~ T)\n"
    "; Bestwert: die meisten Steine, die eine L\u00f6sung \u00fcbrig l\u00e4sst; L\u00f6sung: "
    "Stein x,y | ...  (x 0-19, y 0-11)\n"
    "; Absicht (f\u00fcr lumor-pack lint): L\u00f6sungen N | K\u00f6der Stein | Reserve N | "
    "Reserve "
    "\u00f6ffnet | \u00c4hnlich PASSWORT | Einf\u00fchrung; Grund: warum\n";

// Splits UTF-8 text into characters (code point sequences); false on invalid UTF-8.
bool splitUtf8(const std::string& s, std::vector<std::string>& out) {
    out.clear();
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        out.push_back(s.substr(i, len));
        i += len;
    }
    return true;
}

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

enum class Number { Ok, NotOne, TooSmall, TooLarge };

Number readInt(const std::string& text, long long lo, long long hi, int& out) {
    const std::string t = trim(text);
    if (t.empty() || t.front() == '+') return Number::NotOne;
    long long v = 0;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    const auto [p, ec] = std::from_chars(first, last, v);
    if (p != last || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return Number::NotOne;
    if (ec != std::errc()) return *first == '-' ? Number::TooSmall : Number::TooLarge;
    if (v < lo) return Number::TooSmall;
    if (v > hi) return Number::TooLarge;
    out = static_cast<int>(v);
    return Number::Ok;
}

bool parseInt(const std::string& text, long long lo, long long hi, int& out) {
    return readInt(text, lo, hi, out) == Number::Ok;
}

std::vector<std::string> splitOn(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return parts;
}

bool needsEscape(unsigned char b) {
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// A Windows-1252 text as it stands behind "Key: ".
std::string quoteText(const std::string& cp) {
    bool quote = !cp.empty() && (cp.front() == ' ' || cp.back() == ' ' || cp.front() == '"' ||
                                 cp.front() == '\t' || cp.back() == '\t');
    for (unsigned char b : cp) quote = quote || needsEscape(b);
    if (!quote) return cp1252::toUtf8(cp);
    std::string out = "\"";
    for (unsigned char b : cp) {
        if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (needsEscape(b)) {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += cp1252::toUtf8(std::string(1, static_cast<char>(b)));
        }
    }
    return out + "\"";
}

// The inverse of quoteText; false with a message on a malformed text.
bool unquoteText(const std::string& value, std::string& cp, std::string& error) {
    const std::string v = trim(value);
    if (v.empty() || v.front() != '"') {
        auto converted = cp1252::fromUtf8(v);
        if (!converted) {
            error = "der Text enth\u00e4lt Zeichen, die Windows-1252 nicht kennt";
            return false;
        }
        cp = *converted;
        return true;
    }
    if (v.size() < 2 || v.back() != '"') {
        error = "der Text in Anf\u00fchrungszeichen ist nicht geschlossen";
        return false;
    }
    std::string plain;  // UTF-8 pieces and escaped bytes, converted piecewise
    cp.clear();
    auto flush = [&]() {
        auto converted = cp1252::fromUtf8(plain);
        if (!converted) return false;
        cp += *converted;
        plain.clear();
        return true;
    };
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        const char c = v[i];
        if (c == '"') {
            error = "ein Anf\u00fchrungszeichen im Text muss als \\\" stehen";
            return false;
        }
        if (c != '\\') {
            plain += c;
            continue;
        }
        if (i + 2 >= v.size()) {
            error = "unvollst\u00e4ndiges \\ am Ende des Textes";
            return false;
        }
        const char e = v[++i];
        if (e == '"' || e == '\\') {
            plain += e;
        } else if (e == 'x' && i + 3 < v.size()) {
            int byte = 0;
            const auto [p, ec] = std::from_chars(v.data() + i + 1, v.data() + i + 3, byte, 16);
            if (ec != std::errc() || p != v.data() + i + 3) {
                error = "\\x braucht zwei Hexadezimalziffern";
                return false;
            }
            if (!flush()) {
                error = "der Text enth\u00e4lt Zeichen, die Windows-1252 nicht kennt";
                return false;
            }
            cp += static_cast<char>(byte);
            i += 2;
        } else {
            error = "unbekannte Maskierung \\" + std::string(1, e);
            return false;
        }
    }
    if (!flush()) {
        error = "der Text enth\u00e4lt Zeichen, die Windows-1252 nicht kennt";
        return false;
    }
    return true;
}

// unquoteText for a text that goes into a pack, which cannot keep the character NUL.
bool packText(const std::string& value, std::string& cp, std::string& error) {
    if (!unquoteText(value, cp, error)) return false;
    if (cp.find('\0') == std::string::npos) return true;
    error = "der Text enth\u00e4lt das Zeichen NUL (\\x00), das ein Levelpack nicht speichern kann";
    return false;
}

// Splits "Key: value" at the first colon; false when the line has none.
bool splitKey(const std::string& line, std::string& key, std::string& value) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return false;
    key = trim(line.substr(0, colon));
    value = line.substr(colon + 1);
    return true;
}

std::optional<int> slotOfSourceChar(const std::string& c) {
    const auto code = codeOfSourceChar(c);
    if (!code || *code < 9 || *code > 16) return std::nullopt;
    return *code - 8;
}

bool parsePiecePos(const std::string& part, int& slot, int& x, int& y) {
    std::vector<std::string> chars;
    const std::string t = trim(part);
    if (!splitUtf8(t, chars) || chars.size() < 3) return false;
    const auto s = slotOfSourceChar(chars[0]);
    if (!s || chars[1] != " ") return false;
    const std::string rest = t.substr(chars[0].size());
    const auto xy = splitOn(rest, ',');
    if (xy.size() != 2 || !parseInt(xy[0], 0, BoardWidth - 1, x) ||
        !parseInt(xy[1], 0, BoardHeight - 1, y))
        return false;
    slot = *s;
    return true;
}

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
                if (code >= 0 && code <= 20)
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

std::string pieceText(int slot) { return Legend[static_cast<size_t>(slot + 8)]; }

}  // namespace

const std::string& sourceCharOf(int code) {
    if (code >= 0 && code <= 20) return Legend[static_cast<size_t>(code)];
    return SourceOtherCode;
}

std::optional<int> codeOfSourceChar(const std::string& utf8Char) {
    for (size_t c = 0; c < Legend.size(); ++c)
        if (Legend[c] == utf8Char) return static_cast<int>(c);
    return std::nullopt;
}

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

std::string writeLevelSource(const LevelSource& source) {
    std::ostringstream out;
    out << Header << LevelSourceMagic << '\n';
    const PackHeader& h = source.header;
    // No blank behind the colon of an empty text, so that lines never end in a blank.
    auto textLine = [&](const char* key, const std::string& cp) {
        out << key << ':';
        if (!cp.empty()) out << ' ' << quoteText(cp);
        out << '\n';
    };
    textLine("Titel", h.PackTitle);
    textLine("Autor", h.PackAuthor);
    textLine("Bemerkung", h.PackRemark);
    textLine("Schlussmeldung", h.PackEndMessage);
    textLine("Link", h.PackLink);
    textLine("Packpasswort", h.PackPassword);
    if (!source.harderThan.empty()) out << "Schwerer als: " << source.harderThan << '\n';
    for (const auto& level : source.levels) {
        const LevelRecord& r = level.record;
        out << '\n';
        textLine("Level", r.Name);
        textLine("Passwort", r.Password);
        out << "Vorrat: " << r.Stock[0];
        for (int slot = 1; slot <= 8; ++slot)
            if (r.Stock[static_cast<size_t>(slot)] != 0)
                out << " | " << pieceText(slot) << ' ' << r.Stock[static_cast<size_t>(slot)];
        out << '\n';
        bool extra = false;
        for (int k = 9; k < StockEntries; ++k)
            extra = extra || r.Stock[static_cast<size_t>(k)] != 0;
        if (extra) {
            out << "Vorrat 9-15:";
            for (int k = 9; k < StockEntries; ++k) out << ' ' << r.Stock[static_cast<size_t>(k)];
            out << '\n';
        }
        if (level.bestLeft) out << "Bestwert: " << *level.bestLeft << '\n';
        if (level.solution) {
            out << "L\u00f6sung:";
            for (size_t k = 0; k < level.solution->size(); ++k) {
                const auto& p = (*level.solution)[k];
                out << (k ? " | " : " ") << pieceText(p.slot) << ' ' << p.x << ',' << p.y;
            }
            out << '\n';
        }
        if (level.intent.any()) {
            const LevelIntent& in = level.intent;
            std::vector<std::string> parts;
            if (in.placements) parts.push_back("L\u00f6sungen " + std::to_string(*in.placements));
            if (!in.decoys.empty()) {
                std::string d = "K\u00f6der";
                for (const int slot : in.decoys) d += " " + pieceText(slot);
                parts.push_back(d);
            }
            if (in.spare) parts.push_back("Reserve " + std::to_string(in.spare));
            if (in.spareOpens) parts.push_back("Reserve \u00f6ffnet");
            for (const std::string& pw : in.similarTo)
                parts.push_back("\u00c4hnlich " + quoteText(pw));
            if (in.teaching) parts.push_back("Einf\u00fchrung");
            out << "Absicht:";
            for (size_t k = 0; k < parts.size(); ++k) out << (k ? " | " : " ") << parts[k];
            out << '\n';
        }
        if (!level.reason.empty()) out << "Grund: " << level.reason << '\n';
        out << "Brett:\n";
        for (int y = 0; y < BoardHeight; ++y) {
            for (int x = 0; x < BoardWidth; ++x) out << sourceCharOf(r.cell(x, y));
            out << '\n';
        }
        for (int y = 0; y < BoardHeight; ++y)
            for (int x = 0; x < BoardWidth; ++x)
                if (sourceCharOf(r.cell(x, y)) == SourceOtherCode)
                    out << "Zelle " << x << ',' << y << ": " << r.cell(x, y) << '\n';
    }
    return out.str();
}

std::string writeLevelSource(const PackHeader& header, const std::vector<LevelRecord>& levels) {
    LevelSource source;
    source.header = header;
    for (const auto& r : levels) {
        SourceLevel level;
        level.record = r;
        source.levels.push_back(std::move(level));
    }
    return writeLevelSource(source);
}

}  // namespace lumor
