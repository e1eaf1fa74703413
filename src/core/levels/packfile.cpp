#include "levels/packfile.h"

#include "app/files.h"
#include "app/random.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include <unistd.h>

namespace lumor {
namespace {

constexpr int BlockNumberLines = CellCount + StockEntries;

bool isBlank(char c) { return c == ' '; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool takesFiller(size_t position) { return position % 3 == 0 || position % 5 == 0; }

// Splits the file into lines. A line ends at LF, a CR right before it belongs to the
// line end, so files with CR LF and with bare LF read alike. The last line need not end.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    bool next(std::string_view& line) {
        if (done_) return false;
        const size_t lf = rest_.find('\n');
        if (lf == std::string_view::npos) {
            if (rest_.empty()) {  // the file ended with a line end (or is empty)
                done_ = true;
                return false;
            }
            line = rest_;
            rest_ = {};
            done_ = true;
        } else {
            line = rest_.substr(0, lf);
            rest_.remove_prefix(lf + 1);
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

// The number at the start of a line: blanks before it and between sign and digits are
// ignored, anything after the digits too; a line without one counts as 0. False when the
// value lies outside [lo, hi].
bool parseNumber(std::string_view line, int64_t lo, int64_t hi, int64_t& value) {
    size_t i = 0;
    const size_t n = line.size();
    auto skipBlanks = [&] {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < n && (line[i] == '-' || line[i] == '+')) {
        negative = line[i] == '-';
        ++i;
        skipBlanks();
    }
    int64_t v = 0;
    bool huge = false;
    for (; i < n && line[i] >= '0' && line[i] <= '9'; ++i) {
        if (v > (int64_t{1} << 50))
            huge = true;  // far beyond any limit; stop growing
        else
            v = v * 10 + (line[i] - '0');
    }
    if (huge) return false;
    value = negative ? -v : v;
    return value >= lo && value <= hi;
}

int64_t weightOf(std::string_view text) {
    int64_t sum = 0;
    for (char c : text) sum += CharWeight(static_cast<unsigned char>(c));
    return sum;
}

void appendNumberLine(std::string& out, int value) {
    char buf[16];
    const int len = std::snprintf(buf, sizeof buf, value < 0 ? "%d" : " %d", value);
    out.append(buf, static_cast<size_t>(len));
    out += "\r\n";
}

void appendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

PackReadResult damaged(bool unreadable = false) {
    PackReadResult r;
    r.ok = false;
    r.unreadable = unreadable;
    r.message = PackDamagedMessage;
    return r;
}

bool holdsLineBreak(std::string_view text) {
    return text.find('\r') != std::string_view::npos || text.find('\n') != std::string_view::npos;
}

// Whether the stored form of a scrambled text would hold CR or LF (codes 13 and 10):
// fillers never do, so only a character code plus its position can.
bool scrambledHoldsLineBreak(std::string_view plain) {
    for (size_t i = 0; i < plain.size(); ++i) {
        const unsigned stored = static_cast<unsigned char>(plain[i]) + static_cast<unsigned>(i + 1);
        if (stored == '\r' || stored == '\n') return true;
    }
    return false;
}

std::string number(size_t n) { return std::to_string(n); }

PackWriteResult refusal(std::string message) {
    PackWriteResult r;
    r.ok = false;
    r.refused = true;
    r.message = std::move(message);
    return r;
}

PackWriteResult saveFailure(SaveStatus status) {
    PackWriteResult r;
    r.ok = false;
    r.refused = status == SaveStatus::NotRegular || status == SaveStatus::ReadOnly;
    r.message = std::string("Das Levelpack konnte nicht gespeichert werden: ") +
                saveFailureText(status) + ".";
    return r;
}

// Everything that would make the written file unreadable or different from what was
// meant is refused here, before a byte is written.
std::optional<PackWriteResult> checkWritable(const PackHeader& header,
                                             const std::vector<LevelRecord>& levels) {
    if (levels.size() > static_cast<size_t>(MaxLevels))
        return refusal(
            "Ein Levelpack kann h\xf6"
            "chstens 101 Levels enthalten.");

    const std::pair<const std::string*, const char*> plain[] = {
        {&header.PackAuthor, "Autor"},
        {&header.PackRemark, "Bemerkung"},
        {&header.PackEndMessage, "Meldung beim Beenden aller Levels"},
        {&header.PackLink, "Homepageadresse oder E-Mail"},
        {&header.PackTitle, "Titel"},
    };
    for (const auto& [text, caption] : plain) {
        if (holdsLineBreak(*text))
            return refusal(std::string("Die Angabe \"") + caption +
                           "\" darf keinen Zeilenumbruch enthalten. Bitte \xe4"
                           "ndern sie sie.");
        // A header line reading "*" would end the header early.
        if (*text == "*")
            return refusal(
                std::string("Die Angabe \"") + caption +
                "\" darf nicht nur aus einem Stern (*) bestehen, sonst ist das Levelpack "
                "nicht mehr lesbar. Bitte \xe4"
                "ndern sie sie.");
    }

    const std::string& pw = header.PackPassword;
    const bool pwStoredAsStar = pw.size() == 1 && static_cast<unsigned char>(pw[0]) + 1 == '*';
    if (!CanScramble(pw) || scrambledHoldsLineBreak(pw) || pwStoredAsStar)
        return refusal("Passwort ist nicht kompaktibel. Bitte suchen sie sich ein anderes.");

    for (size_t i = 0; i < levels.size(); ++i) {
        const LevelRecord& level = levels[i];
        const std::string n = number(i + 1);
        if (!CanScramble(level.Name) || scrambledHoldsLineBreak(level.Name))
            return refusal("Der Name des " + n + ". Levels (" + level.Name +
                           ") ist nicht kompaktibel. Bitte suchen sie sich ein anderen aus.");
        if (!CanScramble(level.Password) || scrambledHoldsLineBreak(level.Password))
            return refusal("Das Passwort des " + n + ". Levels (" + level.Name +
                           ") ist nicht kompaktibel. Bitte suchen sie sich ein anderes aus.");
        // "*" is the end marker's name: a level so named would end the list on loading.
        if (level.Name == Levels::EndMarkerName)
            return refusal(
                "Der Name des " + n +
                ". Levels darf nicht \"*\" lauten. Bitte suchen sie sich einen anderen aus.");
    }
    return std::nullopt;
}

// UnscrambleText on a view of the file, so reading needs no copy of each line.
bool unscramble(std::string_view stored, std::string& plain) {
    plain.clear();
    plain.reserve(stored.size());
    size_t j = 1;
    size_t p = 0;  // 0-based position in the stored line
    while (p < stored.size()) {
        if (takesFiller(j)) {
            ++p;
            if (p >= stored.size()) return false;  // ends where a filler was expected
        }
        const int d = static_cast<unsigned char>(stored[p]);
        if (static_cast<size_t>(d) < j) return false;  // no character has a negative code
        plain += static_cast<char>(d - static_cast<int>(j));
        ++p;
        ++j;
    }
    return true;
}

}  // namespace

int CharWeight(unsigned char c) { return (3 * c) / 7 + 1; }

bool CanScramble(const std::string& plain) {
    for (size_t i = 0; i < plain.size(); ++i)
        if (static_cast<unsigned char>(plain[i]) + (i + 1) > 255) return false;
    return true;
}

bool ScrambleText(const std::string& plain, Random& random, std::string& stored) {
    stored.clear();
    if (!CanScramble(plain)) return false;
    stored.reserve(plain.size() + plain.size() / 2 + 1);
    for (size_t i = 1; i <= plain.size(); ++i) {
        if (takesFiller(i)) {
            int filler = static_cast<int>(random.next() * 64.0);
            if (filler < 0) filler = 0;
            if (filler > 63) filler = 63;
            stored += static_cast<char>(filler + 32);
        }
        stored += static_cast<char>(static_cast<unsigned char>(plain[i - 1]) + i);
    }
    return true;
}

bool UnscrambleText(const std::string& stored, std::string& plain) {
    return unscramble(stored, plain);
}

std::string UnscrambleText(const std::string& stored) {
    std::string plain;
    UnscrambleText(stored, plain);
    return plain;
}

int64_t PackChecksum(const PackHeader& header, const std::vector<LevelRecord>& levels) {
    int64_t sum = weightOf(header.PackAuthor) + weightOf(header.PackRemark) +
                  weightOf(header.PackEndMessage) + weightOf(header.PackLink) +
                  weightOf(header.PackTitle) + weightOf(header.PackPassword);
    for (const LevelRecord& level : levels) {
        sum += weightOf(level.Name) + weightOf(level.Password);
        for (int16_t v : level.Cells) sum += v;
        for (int16_t v : level.Stock) sum += v;
    }
    return sum;
}

PackReadResult readPackFromBytes(const std::string& bytes) {
    LineReader lines(bytes);
    std::string_view line;
    PackReadResult result;
    PackHeader& header = result.contents.header;
    std::vector<LevelRecord>& levels = result.contents.levels;
    int64_t sum = 0;

    // Header: up to the line that is exactly "*"; the format line is not examined.
    std::string* const plainTexts[] = {&header.PackAuthor, &header.PackRemark,
                                       &header.PackEndMessage, &header.PackLink, &header.PackTitle};
    for (int lineNo = 1;; ++lineNo) {
        if (!lines.next(line)) return damaged();
        if (lineNo > 1 && line == "*") break;
        if (lineNo >= 2 && lineNo <= 6) {
            plainTexts[lineNo - 2]->assign(line);
            sum += weightOf(line);
        } else if (lineNo == 7) {
            if (!unscramble(line, header.PackPassword)) return damaged();
            sum += weightOf(header.PackPassword);
        }
    }

    // Levels: a separator line (any text but "*" after trimming) opens each block.
    for (;;) {
        if (!lines.next(line)) return damaged();
        if (trimBlanks(line) == "*") break;
        if (levels.size() == static_cast<size_t>(MaxLevels)) return damaged();
        LevelRecord& level = levels.emplace_back();
        if (!lines.next(line) || !unscramble(line, level.Name)) return damaged();
        // A level of the end marker's name would end the list early in every window.
        if (level.Name == Levels::EndMarkerName) return damaged();
        if (!lines.next(line) || !unscramble(line, level.Password)) return damaged();
        sum += weightOf(level.Name) + weightOf(level.Password);
        for (int k = 0; k < BlockNumberLines; ++k) {
            int64_t v;
            if (!lines.next(line) || !parseNumber(line, INT16_MIN, INT16_MAX, v)) return damaged();
            if (k < CellCount) {
                const int x = k / BoardHeight;
                const int y = k % BoardHeight;
                level.cell(x, y) = static_cast<int16_t>(v);
            } else {
                level.Stock[static_cast<size_t>(k - CellCount)] = static_cast<int16_t>(v);
            }
            sum += v;
        }
    }

    int64_t stored;
    if (!lines.next(line) || !parseNumber(line, INT64_MIN / 2, INT64_MAX / 2, stored))
        return damaged();
    if (stored != sum) return damaged();
    result.ok = true;
    return result;
}

PackReadResult readPack(const std::string& path) {
    std::string bytes;
    const ReadStatus status = readRegularFile(path, MaxPackFileBytes, bytes);
    // Too large is damaged; missing, unreadable or no file at all cannot be read.
    if (status == ReadStatus::TooLarge) return damaged();
    if (status != ReadStatus::Ok) return damaged(true);
    return readPackFromBytes(bytes);
}

PackHeaderPreview readPackHeader(const std::string& path) {
    PackHeaderPreview preview;
    ReadStatus status;
    const int fd = openRegularFile(path, MaxPackFileBytes, status);
    if (fd < 0) return preview;
    preview.ok = true;
    // Only as far as the sixth line end.
    std::string bytes;
    size_t lineEnds = 0;
    char buf[4096];
    while (lineEnds < 6) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        for (ssize_t i = 0; i < got && lineEnds < 6; ++i) {
            bytes += buf[i];
            if (buf[i] == '\n') ++lineEnds;
        }
    }
    ::close(fd);
    LineReader lines(bytes);
    std::string_view line;
    for (int lineNo = 1; lineNo <= 6 && lines.next(line); ++lineNo) {
        if (lineNo == 2) preview.author = trimBlanks(line);
        if (lineNo == 6) preview.title = trimBlanks(line);
    }
    return preview;
}

PackWriteResult packBytes(const PackHeader& header, const std::vector<LevelRecord>& levels,
                          Random& random, std::string& bytes) {
    bytes.clear();
    if (auto refused = checkWritable(header, levels)) return *refused;

    bytes.reserve(256 + levels.size() * (BlockNumberLines * 8 + 64));
    appendLine(bytes, PackFormatLine);
    appendLine(bytes, header.PackAuthor);
    appendLine(bytes, header.PackRemark);
    appendLine(bytes, header.PackEndMessage);
    appendLine(bytes, header.PackLink);
    appendLine(bytes, header.PackTitle);
    std::string stored;
    ScrambleText(header.PackPassword, random, stored);
    appendLine(bytes, stored);
    appendLine(bytes, "*");
    for (const LevelRecord& level : levels) {
        appendLine(bytes, " ");
        ScrambleText(level.Name, random, stored);
        appendLine(bytes, stored);
        ScrambleText(level.Password, random, stored);
        appendLine(bytes, stored);
        for (int x = 0; x < BoardWidth; ++x)
            for (int y = 0; y < BoardHeight; ++y) appendNumberLine(bytes, level.cell(x, y));
        for (int16_t v : level.Stock) appendNumberLine(bytes, v);
    }
    appendLine(bytes, "*");
    bytes += std::to_string(PackChecksum(header, levels));
    bytes += "\r\n";
    if (bytes.size() > MaxPackFileBytes) {
        bytes.clear();
        return refusal(
            "Das Levelpack w\xe4re zu gro\xdf: h\xf6"
            "chstens " +
            std::to_string(MaxPackFileBytes / 1024) +
            " KB sind erlaubt. Bitte k\xfcrzen sie die Texte.");
    }

    PackWriteResult r;
    r.ok = true;
    return r;
}

PackWriteResult writePack(const std::string& path, const PackHeader& header,
                          const std::vector<LevelRecord>& levels, Random& random) {
    std::string bytes;
    PackWriteResult r = packBytes(header, levels, random, bytes);
    if (!r.ok) return r;
    const SaveStatus saved = saveFileAtomically(path, bytes);
    if (saved != SaveStatus::Ok) return saveFailure(saved);
    return r;
}

PackReadResult loadPackInto(const std::string& path, Pack& pack, std::string& finalMessage) {
    pack.header = PackHeader{};
    PackReadResult r = readPack(path);
    if (!r.ok) return r;
    pack.header = r.contents.header;
    pack.levels.assign(r.contents.levels);
    finalMessage =
        pack.header.PackEndMessage.empty() ? DefaultFinalMessage : pack.header.PackEndMessage;
    return r;
}

}  // namespace lumor
