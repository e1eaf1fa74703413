// libFuzzer target for the pack reader (and writer).
//
// The first byte picks the mode:
//  - even: the rest is a pack file. The reader must refuse it cleanly or read it; what it
//    reads sound must write back (unless it holds a text the writer refuses for a reason
//    the reader could not have caught) and read back equal.
//  - odd: the rest describes pack contents. They are written; a refusal must match the
//    writer's rules exactly, a written pack must read back equal, and the written bytes
//    with a few of them changed must still be read or refused without harm.
#include "app/random.h"
#include "levels/packfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace lumor;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "pack_reader_fuzz: %s\n", what);
    std::abort();
}

bool holdsLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool storedHoldsLineBreak(const std::string& plain) {
    for (size_t i = 0; i < plain.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(plain[i]) + static_cast<unsigned>(i + 1);
        if (d == '\r' || d == '\n') return true;
    }
    return false;
}

// The writer's refusals, stated independently of the writer.
bool writerMustRefuse(const PackContents& c) {
    const PackHeader& h = c.header;
    if (c.levels.size() > static_cast<size_t>(MaxLevels)) return true;
    for (const std::string* t :
         {&h.PackAuthor, &h.PackRemark, &h.PackEndMessage, &h.PackLink, &h.PackTitle})
        if (holdsLineBreak(*t) || *t == "*") return true;
    if (!CanScramble(h.PackPassword) || storedHoldsLineBreak(h.PackPassword) ||
        h.PackPassword == ")")
        return true;
    for (const LevelRecord& l : c.levels) {
        if (!CanScramble(l.Name) || storedHoldsLineBreak(l.Name) || l.Name == "*") return true;
        if (!CanScramble(l.Password) || storedHoldsLineBreak(l.Password)) return true;
    }
    return false;
}

void checkRefusal(const PackReadResult& r) {
    if (r.message != PackDamagedMessage) fail("refusal without the damaged message");
    if (!r.contents.levels.empty()) fail("refusal with levels");
}

void checkSoundRead(const PackReadResult& r, uint64_t seed) {
    if (r.contents.levels.size() > static_cast<size_t>(MaxLevels))
        fail("more than 101 levels read");
    // Every level read is reached: none carries the end marker's name.
    Levels list;
    list.assign(r.contents.levels);
    if (list.count() != static_cast<int>(r.contents.levels.size()))
        fail("the level list ends before the levels read");

    SeededRandom random(seed);
    std::string bytes;
    const PackWriteResult w = packBytes(r.contents.header, r.contents.levels, random, bytes);
    if (w.ok == writerMustRefuse(r.contents)) fail("writer's verdict differs from its rules");
    if (!w.ok) {
        if (!w.refused || !bytes.empty()) fail("refusal not clean");
        return;
    }
    if (bytes.size() > MaxPackFileBytes) fail("written larger than any reader takes");
    const PackReadResult back = readPackFromBytes(bytes);
    if (!back.ok) fail("a written pack is refused");
    if (!(back.contents.header == r.contents.header)) fail("header changed on the way round");
    if (!(back.contents.levels == r.contents.levels)) fail("levels changed on the way round");
    if (PackChecksum(back.contents.header, back.contents.levels) !=
        PackChecksum(r.contents.header, r.contents.levels))
        fail("checksum changed");
}

std::string text(FuzzedDataProvider& in) {
    // Mostly short printable texts, sometimes any bytes, so both the sound and the refused
    // paths of the writer are reached.
    const auto kind = in.ConsumeIntegral<uint8_t>();
    std::string s = in.ConsumeRandomLengthString(kind & 0x80 ? 200 : 24);
    if ((kind & 3) == 0)
        for (char& c : s) c = static_cast<char>(32 + static_cast<unsigned char>(c) % 95);
    return s;
}

void structured(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    PackContents c;
    c.header.PackAuthor = text(in);
    c.header.PackRemark = text(in);
    c.header.PackEndMessage = text(in);
    c.header.PackLink = text(in);
    c.header.PackTitle = text(in);
    c.header.PackPassword = text(in);
    const size_t count = in.ConsumeIntegralInRange<size_t>(0, MaxLevels + 1);
    for (size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        LevelRecord& l = c.levels.emplace_back();
        l.Name = text(in);
        l.Password = text(in);
        const auto fillCells = in.ConsumeIntegral<int16_t>();
        l.Cells.fill(fillCells);
        for (int k = in.ConsumeIntegralInRange<int>(0, 8); k > 0; --k)
            l.Cells[in.ConsumeIntegralInRange<size_t>(0, CellCount - 1)] =
                in.ConsumeIntegral<int16_t>();
        for (auto& v : l.Stock) v = in.ConsumeIntegral<int16_t>();
    }
    const auto seed = in.ConsumeIntegral<uint64_t>();

    SeededRandom random(seed);
    std::string bytes;
    const PackWriteResult w = packBytes(c.header, c.levels, random, bytes);
    if (w.ok == writerMustRefuse(c)) fail("writer's verdict differs from its rules");
    if (!w.ok) return;
    const PackReadResult r = readPackFromBytes(bytes);
    if (!r.ok) fail("a written pack is refused");
    if (!(r.contents.header == c.header) || !(r.contents.levels == c.levels))
        fail("written pack reads differently");

    // Change a few bytes of the written file: the reader must cope, whatever it decides.
    for (int k = in.ConsumeIntegralInRange<int>(1, 4); k > 0 && !bytes.empty(); --k) {
        const size_t at = in.ConsumeIntegralInRange<size_t>(0, bytes.size() - 1);
        bytes[at] = static_cast<char>(in.ConsumeIntegral<uint8_t>());
    }
    if (in.ConsumeBool()) bytes.resize(in.ConsumeIntegralInRange<size_t>(0, bytes.size()));
    const PackReadResult changed = readPackFromBytes(bytes);
    if (changed.ok)
        checkSoundRead(changed, seed + 1);
    else
        checkRefusal(changed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 1) {
        structured(data + 1, size - 1);
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const PackReadResult r = readPackFromBytes(bytes);
    if (r.ok)
        checkSoundRead(r, size);
    else
        checkRefusal(r);
    return 0;
}
