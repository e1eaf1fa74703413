// Writing a level source, and the board characters of the element table.
#include "levels/levelsource.h"

#include "levels/sourcetext.h"
#include "play/elements.h"

#include <array>
#include <sstream>

namespace lumor {
namespace {

using namespace sourcetext;

// The board characters, as the element table gives them.
const std::array<std::string, ElementCount>& legend() {
    static const std::array<std::string, ElementCount> chars = [] {
        std::array<std::string, ElementCount> a;
        for (const Element& e : Elements) a[static_cast<size_t>(e.code)] = e.sourceChar;
        return a;
    }();
    return chars;
}

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

}  // namespace

const std::string& sourceCharOf(int code) {
    if (elementOf(code)) return legend()[static_cast<size_t>(code)];
    return SourceOtherCode;
}

std::optional<int> codeOfSourceChar(const std::string& utf8Char) {
    if (const Element* e = elementOfSourceChar(utf8Char.data(), utf8Char.size())) return e->code;
    return std::nullopt;
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
