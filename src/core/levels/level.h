// The level record, the pack's level list with its end marker, and the pack header.
// Texts are kept as Windows-1252 bytes, exactly as the pack file stores them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

inline constexpr int BoardWidth = 20;
inline constexpr int BoardHeight = 12;
inline constexpr int CellCount = BoardWidth * BoardHeight;
inline constexpr int StockEntries = 16;
inline constexpr int MaxLevels = 101;

// Flat index of cell (x, y): the column varies fastest.
constexpr int cellIndex(int x, int y) { return x + BoardWidth * y; }

struct LevelRecord {
    std::array<int16_t, CellCount> Cells{};  // CellCode per cell, index cellIndex(x, y)
    std::string Name;                        // Windows-1252
    std::string Password;                    // Windows-1252
    std::array<int16_t, StockEntries>
        Stock{};  // 0: total allowance, 1..8: slot counts, 9..15: kept as read

    int16_t cell(int x, int y) const { return Cells[cellIndex(x, y)]; }
    int16_t& cell(int x, int y) { return Cells[cellIndex(x, y)]; }
    bool operator==(const LevelRecord&) const = default;
};

struct PackHeader {
    std::string PackAuthor;
    std::string PackRemark;
    std::string PackEndMessage;
    std::string PackLink;
    std::string PackTitle;
    std::string PackPassword;
    bool operator==(const PackHeader&) const = default;
};

inline const std::string DefaultFinalMessage = "Gratulation! Du hast es geschafft!";

// The level list: room for MaxLevels levels plus the end marker behind them. Every
// walk starts at index 0 and stops at the first record named "*"; records behind the
// marker are left from earlier packs and never looked at.
class Levels {
public:
    static constexpr int Capacity = MaxLevels + 1;
    static inline const std::string EndMarkerName = "*";

    Levels();

    LevelRecord& operator[](int i) { return records_.at(static_cast<size_t>(i)); }
    const LevelRecord& operator[](int i) const { return records_.at(static_cast<size_t>(i)); }

    // Index of the end marker, i.e. the number of levels.
    int count() const;
    bool isEndMarker(int i) const {
        return records_.at(static_cast<size_t>(i)).Name == EndMarkerName;
    }

    // Replaces the whole list by these levels (at most MaxLevels) and sets the marker behind them.
    void assign(const std::vector<LevelRecord>& levels);
    // The levels before the end marker.
    std::vector<LevelRecord> toVector() const;
    // Puts the end marker at index n (0 <= n <= MaxLevels).
    void setEndMarker(int n);

    // Index of the first level whose password equals the text, both in upper case
    // (Windows-1252, so "ä" matches "Ä"); nullopt for an empty text or no match.
    std::optional<int> findByPassword(const std::string& text) const;

private:
    std::array<LevelRecord, Capacity> records_;
};

// Program-wide pack state: the one level list, the header of the loaded pack and the final message.
struct Pack {
    Levels levels;
    PackHeader header;
};

}  // namespace lumor
