#include "packjson.h"

#include "app/files.h"
#include "command.h"
#include "levels/cp1252.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <set>
#include <vector>

namespace lumorpack {
namespace {

const char* typeName(const Json& j) {
    switch (j.type()) {
        case Json::value_t::null:
            return "null";
        case Json::value_t::object:
            return "ein Objekt";
        case Json::value_t::array:
            return "eine Liste";
        case Json::value_t::string:
            return "ein Text";
        case Json::value_t::boolean:
            return "ein Wahrheitswert";
        case Json::value_t::number_float:
            return "eine Kommazahl";
        default:
            return "eine Zahl";
    }
}

// Checks that the object holds exactly these keys.
bool checkKeys(const Json& obj, std::initializer_list<const char*> keys, const std::string& where,
               std::string& error) {
    if (!obj.is_object()) {
        error = where + ": ein Objekt erwartet, gefunden wurde " + typeName(obj);
        return false;
    }
    for (const char* key : keys)
        if (!obj.contains(key)) {
            error = where + ": der Eintrag \"" + key + "\" fehlt";
            return false;
        }
    for (const auto& [key, value] : obj.items()) {
        bool known = false;
        for (const char* k : keys) known = known || key == k;
        if (!known) {
            error = where + ": unbekannter Eintrag \"" + key + "\"";
            return false;
        }
    }
    return true;
}

bool textFromJson(const Json& j, const std::string& where, std::string& out, std::string& error) {
    if (!j.is_string()) {
        error = where + ": ein Text erwartet, gefunden wurde " + typeName(j);
        return false;
    }
    auto converted = lumor::cp1252::fromUtf8(j.get<std::string>());
    if (!converted) {
        error = where + ": der Text enthält ein Zeichen, das Windows-1252 nicht speichern kann";
        return false;
    }
    if (converted->find('\0') != std::string::npos) {
        error = where +
                ": der Text enthält das Zeichen NUL (\\u0000), das ein Levelpack nicht "
                "speichern kann";
        return false;
    }
    out = std::move(*converted);
    return true;
}

bool numberFromJson(const Json& j, const std::string& where, int16_t& out, std::string& error) {
    const auto outOfRange = [&](bool negative) {
        error = where + (negative ? ": die Zahl ist zu klein (mindestens -32768)"
                                  : ": die Zahl ist zu groß (höchstens 32767)");
        return false;
    };
    // A whole number too large for an integer arrives as a floating-point value.
    if (j.is_number_float()) {
        const double d = j.get<double>();
        if (d == std::floor(d) && (d < INT16_MIN || d > INT16_MAX)) return outOfRange(d < 0);
    }
    if (!j.is_number_integer()) {
        error = where + ": eine ganze Zahl erwartet, gefunden wurde " + typeName(j);
        return false;
    }
    if (j.is_number_unsigned() ? j.get<uint64_t>() > static_cast<uint64_t>(INT16_MAX)
                               : j.get<int64_t>() > INT16_MAX)
        return outOfRange(false);
    if (!j.is_number_unsigned() && j.get<int64_t>() < INT16_MIN) return outOfRange(true);
    out = static_cast<int16_t>(j.get<int64_t>());
    return true;
}

bool arrayOfSize(const Json& j, size_t size, const std::string& where, std::string& error) {
    if (!j.is_array()) {
        error = where + ": eine Liste erwartet, gefunden wurde " + typeName(j);
        return false;
    }
    if (j.size() != size) {
        error = where + ": " + std::to_string(size) + " Einträge erwartet, gefunden wurden " +
                std::to_string(j.size());
        return false;
    }
    return true;
}

}  // namespace

std::string terminalText(const std::string& cp1252Text) {
    return lumor::cp1252::toUtf8(cp1252Text);
}

Json levelToJson(const lumor::LevelRecord& level) {
    Json cells = Json::array();
    for (int x = 0; x < lumor::BoardWidth; ++x) {
        Json column = Json::array();
        for (int y = 0; y < lumor::BoardHeight; ++y) column.push_back(level.cell(x, y));
        cells.push_back(std::move(column));
    }
    Json stock = Json::array();
    for (int16_t v : level.Stock) stock.push_back(v);
    Json out = Json::object();
    out["name"] = lumor::cp1252::toUtf8(level.Name);
    out["password"] = lumor::cp1252::toUtf8(level.Password);
    out["cells"] = std::move(cells);
    out["stock"] = std::move(stock);
    return out;
}

Json packToJson(const lumor::PackContents& pack) {
    const lumor::PackHeader& h = pack.header;
    Json header = Json::object();
    header["author"] = lumor::cp1252::toUtf8(h.PackAuthor);
    header["remark"] = lumor::cp1252::toUtf8(h.PackRemark);
    header["endMessage"] = lumor::cp1252::toUtf8(h.PackEndMessage);
    header["link"] = lumor::cp1252::toUtf8(h.PackLink);
    header["title"] = lumor::cp1252::toUtf8(h.PackTitle);
    header["password"] = lumor::cp1252::toUtf8(h.PackPassword);
    Json levels = Json::array();
    for (const lumor::LevelRecord& level : pack.levels) levels.push_back(levelToJson(level));
    Json out = Json::object();
    out["header"] = std::move(header);
    out["levels"] = std::move(levels);
    return out;
}

bool levelFromJson(const Json& j, lumor::LevelRecord& out, std::string& error,
                   const std::string& where) {
    if (!checkKeys(j, {"name", "password", "cells", "stock"}, where, error)) return false;
    lumor::LevelRecord level;
    if (!textFromJson(j["name"], where + ".name", level.Name, error)) return false;
    if (!textFromJson(j["password"], where + ".password", level.Password, error)) return false;
    const Json& cells = j["cells"];
    if (!arrayOfSize(cells, lumor::BoardWidth, where + ".cells", error)) return false;
    for (int x = 0; x < lumor::BoardWidth; ++x) {
        const std::string col = where + ".cells[" + std::to_string(x) + "]";
        const Json& column = cells[static_cast<size_t>(x)];
        if (!arrayOfSize(column, lumor::BoardHeight, col, error)) return false;
        for (int y = 0; y < lumor::BoardHeight; ++y)
            if (!numberFromJson(column[static_cast<size_t>(y)], col + "[" + std::to_string(y) + "]",
                                level.cell(x, y), error))
                return false;
    }
    const Json& stock = j["stock"];
    if (!arrayOfSize(stock, lumor::StockEntries, where + ".stock", error)) return false;
    for (size_t i = 0; i < lumor::StockEntries; ++i)
        if (!numberFromJson(stock[i], where + ".stock[" + std::to_string(i) + "]", level.Stock[i],
                            error))
            return false;
    out = std::move(level);
    return true;
}

bool packFromJson(const Json& j, lumor::PackContents& out, std::string& error) {
    if (!checkKeys(j, {"header", "levels"}, "Levelpack", error)) return false;
    const Json& h = j["header"];
    if (!checkKeys(h, {"author", "remark", "endMessage", "link", "title", "password"}, "header",
                   error))
        return false;
    lumor::PackContents pack;
    if (!textFromJson(h["author"], "header.author", pack.header.PackAuthor, error) ||
        !textFromJson(h["remark"], "header.remark", pack.header.PackRemark, error) ||
        !textFromJson(h["endMessage"], "header.endMessage", pack.header.PackEndMessage, error) ||
        !textFromJson(h["link"], "header.link", pack.header.PackLink, error) ||
        !textFromJson(h["title"], "header.title", pack.header.PackTitle, error) ||
        !textFromJson(h["password"], "header.password", pack.header.PackPassword, error))
        return false;
    const Json& levels = j["levels"];
    if (!levels.is_array()) {
        error = std::string("levels: eine Liste erwartet, gefunden wurde ") + typeName(levels);
        return false;
    }
    if (levels.size() > static_cast<size_t>(lumor::MaxLevels)) {
        error = "levels: ein Levelpack kann höchstens 101 Levels enthalten, gefunden wurden " +
                std::to_string(levels.size());
        return false;
    }
    pack.levels.reserve(levels.size());
    for (size_t i = 0; i < levels.size(); ++i)
        if (!levelFromJson(levels[i], pack.levels.emplace_back(), error,
                           "levels[" + std::to_string(i) + "]"))
            return false;
    out = std::move(pack);
    return true;
}

bool readInputArg(const std::string& file, std::string& bytes, int& exitCode) {
    exitCode = ExitUsage;
    switch (lumor::readRegularFile(file, MaxInputFileBytes, bytes)) {
        case lumor::ReadStatus::Ok:
            exitCode = ExitOk;
            return true;
        case lumor::ReadStatus::NotRegular:
            std::cerr << file << ": keine gewöhnliche Datei\n";
            return false;
        case lumor::ReadStatus::TooLarge:
            std::cerr << file << ": die Datei ist zu groß (höchstens "
                      << MaxInputFileBytes / (1024 * 1024) << " MB)\n";
            exitCode = ExitRefused;
            return false;
        default:
            std::cerr << file << ": die Datei kann nicht gelesen werden\n";
            return false;
    }
}

namespace {

// A first pass over the text that builds nothing: it refuses a key twice in one object,
// and nesting, lists and objects larger than any pack needs, before a tree of the whole
// text is made (the tree of 8 MB of "[" took 635 MB, of a list of 4 million numbers 140 MB).
// The pack's list of levels is only counted, for the message that names its length.
class JsonCheck : public nlohmann::json_sax<Json> {
public:
    std::string error;  // set when the text is refused for one of these reasons

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t&) override { return value(); }
    bool string(string_t&) override { return value(); }
    bool binary(binary_t&) override { return value(); }
    bool start_object(std::size_t) override { return open(true); }
    bool key(string_t& key) override {
        if (open_.back().keys.size() >= MaxJsonEntries) return tooMany();
        if (!open_.back().keys.insert(key).second) {
            error = "kein gültiges JSON: der Eintrag \"" + key + "\" steht zweimal in einem Objekt";
            return false;
        }
        open_.back().key = key;
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;  // the tree's parser says what is wrong
    }
    // How many entries the pack's list of levels holds, when there is one.
    size_t levels = 0;

private:
    struct Open {
        bool object;
        bool levelList;           // the pack's "levels"
        size_t entries;           // of a list
        std::set<string_t> keys;  // of an object
        string_t key;             // the key of the value being read in an object
    };

    bool value() {
        if (open_.empty() || open_.back().object) return true;
        if (open_.back().levelList) {
            ++levels;
            return true;
        }
        return ++open_.back().entries <= MaxJsonEntries || tooMany();
    }
    bool tooMany() {
        error = "kein gültiges JSON für ein Levelpack: eine Liste oder ein Objekt mit mehr als " +
                std::to_string(MaxJsonEntries) + " Einträgen";
        return false;
    }
    bool open(bool object) {
        if (!value()) return false;
        if (open_.size() >= MaxJsonDepth) {
            error = "kein gültiges JSON für ein Levelpack: mehr als " +
                    std::to_string(MaxJsonDepth) + " Ebenen ineinander";
            return false;
        }
        const bool levelList =
            !object && open_.size() == 1 && open_[0].object && open_[0].key == "levels";
        open_.push_back({object, levelList, 0, {}, {}});
        return true;
    }
    bool close() {
        open_.pop_back();
        return true;
    }

    std::vector<Open> open_;
};

}  // namespace

bool parseJson(const std::string& text, Json& out, std::string& error) {
    try {
        JsonCheck check;
        if (!Json::sax_parse(text, &check) && !check.error.empty()) {
            error = check.error;
            return false;
        }
        if (check.levels > static_cast<size_t>(lumor::MaxLevels)) {
            error = "levels: ein Levelpack kann höchstens 101 Levels enthalten, gefunden wurden " +
                    std::to_string(check.levels);
            return false;
        }
        out = Json::parse(text);
    } catch (const Json::out_of_range& e) {
        error = std::string("kein gültiges JSON: eine Zahl ist zu groß (") + e.what() + ")";
        return false;
    } catch (const Json::exception& e) {
        error = std::string("kein gültiges JSON (") + e.what() + ")";
        return false;
    }
    return true;
}

bool loadPackArg(const std::string& file, lumor::PackContents& out, int& exitCode) {
    lumor::PackReadResult r = lumor::readPack(file);
    if (!r.ok) {
        if (r.unreadable) {
            std::cerr << file << ": die Datei kann nicht gelesen werden\n";
            exitCode = ExitUsage;
        } else {
            std::cerr << file << ": " << terminalText(r.message) << '\n';
            exitCode = ExitRefused;
        }
        return false;
    }
    out = std::move(r.contents);
    exitCode = ExitOk;
    return true;
}

bool loadLevelArg(const std::string& file, const std::string& levelNumber1Based,
                  lumor::LevelRecord& out, int& exitCode) {
    // The number first: a typo there should not cost a pack read.
    const std::string& s = levelNumber1Based;
    long number = 0;
    bool valid = !s.empty() && s.size() <= 6;
    for (char c : s) valid = valid && c >= '0' && c <= '9';
    if (valid) number = std::stol(s);
    if (!valid || number < 1) {
        std::cerr << '"' << s << "\" ist keine Levelnummer (1, 2, 3, ...)\n";
        exitCode = ExitUsage;
        return false;
    }
    lumor::PackContents pack;
    if (!loadPackArg(file, pack, exitCode)) return false;
    if (static_cast<size_t>(number) > pack.levels.size()) {
        std::cerr << "Level " << s << " gibt es nicht: " << file << " hat " << pack.levels.size()
                  << (pack.levels.size() == 1 ? " Level" : " Levels") << '\n';
        exitCode = ExitUsage;
        return false;
    }
    out = pack.levels[static_cast<size_t>(number - 1)];
    exitCode = ExitOk;
    return true;
}

}  // namespace lumorpack
