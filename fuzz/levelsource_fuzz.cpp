// libFuzzer target for the level source reader, which takes whatever a designer (or anyone
// handing in a file) wrote. The first byte picks the mode:
//  - even: the rest is a source. It is refused with the line that holds the fault, or
//    read: then nothing read is beyond what a pack keeps, and writing it out gives a source
//    that reads the same and writes out to the same text again.
//  - odd: the rest describes pack contents, as "decompile" would find them in a pack. Their
//    source reads back to the same contents, unless a text holds NUL or a level is named
//    "*": those are refused, since no pack keeps them.
#include "levels/levelsource.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lumor;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "levelsource_fuzz: %s\n", what);
    std::abort();
}

bool holdsNul(const std::string& s) { return s.find('\0') != std::string::npos; }

bool packKeeps(const PackHeader& h, const std::vector<LevelRecord>& levels) {
    if (levels.size() > static_cast<size_t>(MaxLevels)) return false;
    for (const std::string* t : {&h.PackAuthor, &h.PackRemark, &h.PackEndMessage, &h.PackLink,
                                 &h.PackTitle, &h.PackPassword})
        if (holdsNul(*t)) return false;
    for (const LevelRecord& l : levels)
        if (holdsNul(l.Name) || holdsNul(l.Password) || l.Name == "*") return false;
    return true;
}

void read(const std::string& text) {
    const LevelSourceResult r = parseLevelSource(text);
    if (!r.ok) {
        if (r.error.rfind("Zeile ", 0) != 0) fail("a refusal without its line");
        return;
    }
    if (!packKeeps(r.source.header, r.source.records())) fail("read what no pack keeps");
    const std::string written = writeLevelSource(r.source);
    const LevelSourceResult back = parseLevelSource(written);
    if (!back.ok) fail("a written source is refused");
    if (!(back.source.header == r.source.header) || !(back.source.levels == r.source.levels) ||
        back.source.harderThan != r.source.harderThan)
        fail("a written source reads differently");
    if (writeLevelSource(back.source) != written) fail("a written source is not canonical");
}

void structured(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const auto text = [&] { return in.ConsumeRandomLengthString(40); };
    PackHeader h{text(), text(), text(), text(), text(), text()};
    std::vector<LevelRecord> levels(in.ConsumeIntegralInRange<size_t>(0, MaxLevels + 1));
    for (LevelRecord& l : levels) {
        l.Name = text();
        l.Password = text();
        l.Cells.fill(static_cast<int16_t>(in.ConsumeIntegralInRange(0, 20)));
        for (int k = in.ConsumeIntegralInRange(0, 6); k > 0; --k)
            l.Cells[in.ConsumeIntegralInRange<size_t>(0, CellCount - 1)] =
                in.ConsumeIntegral<int16_t>();
        for (auto& v : l.Stock) v = in.ConsumeBool() ? 0 : in.ConsumeIntegral<int16_t>();
    }
    const LevelSourceResult r = parseLevelSource(writeLevelSource(h, levels));
    if (r.ok != packKeeps(h, levels)) fail("the verdict differs from what a pack keeps");
    if (r.ok && (!(r.source.header == h) || r.source.records() != levels))
        fail("a pack's source reads differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 1)
        structured(data + 1, size - 1);
    else
        read(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
}
