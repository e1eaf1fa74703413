#include "levels/sourcetext.h"

#include "levels/cp1252.h"
#include "levels/level.h"
#include "levels/levelsource.h"
#include "play/elements.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace lumor::sourcetext {

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

static bool needsEscape(unsigned char b) {
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
    if (!code || !isPlaceable(*code)) return std::nullopt;
    return slotOfCode(*code);
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

std::string pieceText(int slot) { return sourceCharOf(codeOfSlot(slot)); }

}  // namespace lumor::sourcetext
