#include "play/boardlayout.h"

#include "app/files.h"
#include "play/cells.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lumor {

BoardLayout BoardLayout::fit(int width, int height) {
    BoardLayout l;
    const int across = (width - (BaseWidth - BoardPixelWidth)) / BoardPixelWidth;
    const int down = (height - BoardTop - ControlsHeight) / ShownHeight;
    l.scale = std::max(1, std::min(across, down));
    const int boardWidth = BoardPixelWidth * l.scale;
    const int used = BoardTop + ShownHeight * l.scale + ControlsHeight;
    // Left over space is shared, any odd pixel going right and below as the base layout's
    // two spare columns do.
    const int top = std::max(0, (height - used) / 2);
    const int left = std::max(0, (width - BaseWidth) / 2);
    l.boardX = std::max(0, (width - boardWidth - (BaseWidth - BoardPixelWidth)) / 2);
    l.boardY = top + BoardTop;
    l.stockDx = left;
    l.stockDy = top;
    l.buttonsDx = left;
    l.buttonsDy = top + ShownHeight * (l.scale - 1);
    return l;
}

BoardLayout::Point BoardLayout::boardPixel(double x, double y) const {
    return {(x - boardX) / scale, (y - boardY) / scale};
}

BoardLayout::Cell BoardLayout::cellAt(double x, double y) const {
    const Point p = boardPixel(x, y);
    return {static_cast<int>(std::floor(p.x / CellPixels)),
            static_cast<int>(std::floor(p.y / CellPixels))};
}

namespace {

constexpr int MaxSide = 16384;
constexpr uint64_t MaxFileBytes = 4096;

struct ShownName {
    BoardWindowSize::Shown shown;
    std::string_view name;
};
constexpr ShownName ShownNames[] = {
    {BoardWindowSize::Shown::Normal, "normal"},
    {BoardWindowSize::Shown::Maximized, "maximiert"},
    {BoardWindowSize::Shown::FullScreen, "vollbild"},
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

void readSide(std::string_view value, int least, int& side) {
    int v = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (ec == std::errc() && end == value.data() + value.size() && v >= least && v <= MaxSide)
        side = v;
}

}  // namespace

std::string BoardWindowSize::text() const {
    std::string name = "normal";
    for (const ShownName& n : ShownNames)
        if (n.shown == shown) name = n.name;
    return "Breite " + std::to_string(width) + "\nHoehe " + std::to_string(height) + "\nAnsicht " +
           name + "\n";
}

BoardWindowSize BoardWindowSize::fromText(std::string_view text) {
    BoardWindowSize size;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t gap = line.find(' ');
        if (gap == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, gap);
        const std::string_view value = trimmed(line.substr(gap + 1));
        if (key == "Breite")
            readSide(value, BoardLayout::BaseWidth, size.width);
        else if (key == "Hoehe")
            readSide(value, BoardLayout::BaseHeight, size.height);
        else if (key == "Ansicht")
            for (const ShownName& n : ShownNames)
                if (n.name == value) size.shown = n.shown;
    }
    return size;
}

BoardWindowSize BoardWindowSize::load(const std::string& path) {
    std::string bytes;
    if (readRegularFile(path, MaxFileBytes, bytes) != ReadStatus::Ok) return {};
    return fromText(bytes);
}

bool BoardWindowSize::save(const std::string& path) const {
    return saveFileAtomically(path, text(), LinkPolicy::Refuse) == SaveStatus::Ok;
}

}  // namespace lumor
