// libFuzzer target for the progress file, which anyone may edit. The first byte picks
// the mode:
//  - even: the rest is the file. Whatever it holds, what is read writes back as a file
//    that reads the same, and writing that again changes nothing.
//  - odd: the rest is a run of levels reached in packs whose names differ in letter case
//    and title. The table must answer as a plain list searched from the front does, and
//    keep the packs in the order first reached.
#include "app/paths.h"
#include "title/progress.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lumor;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "progress_fuzz: %s\n", what);
    std::abort();
}

struct Entry {
    int level;
    std::string file, title;
};

// The rule, stated plainly: one entry per pack, found by name in any case and exact title.
struct Reference {
    std::vector<Entry> entries;
    Entry* find(const std::string& file, const std::string& title) {
        for (Entry& e : entries)
            if (e.title == title && sameNameIgnoringCase(e.file, file)) return &e;
        return nullptr;
    }
    bool reach(const std::string& file, const std::string& title, int level, int count) {
        if (level < 0) return false;
        Entry* e = find(file, title);
        if (!e) {
            entries.push_back({level, file, title});
            return true;
        }
        if (level <= e->level && e->level < count) return false;
        e->level = level;
        e->file = file;
        return true;
    }
};

// Names that collide in interesting ways: the same letters in other cases, Latin-1 letters
// in UTF-8 (which fold) and as single bytes (which do not), tabs and backslashes.
std::string name(FuzzedDataProvider& in) {
    static const char* const parts[] = {"a",  "A",     "\xc3\xa4", "\xc3\x84", "\xe4", "\t",
                                        "\\", "b.llp", "B.LLP",    "\r\n",     "\xc3", ""};
    std::string s;
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
        s += in.ConsumeBool() ? parts[in.ConsumeIntegralInRange<size_t>(0, std::size(parts) - 1)]
                              : in.ConsumeBytesAsString(2);
    return s;
}

void structured(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Progress p;
    Reference ref;
    while (in.remaining_bytes() > 0) {
        const std::string file = name(in), title = name(in);
        const int level = in.ConsumeIntegralInRange(-2, 200);
        const int count = in.ConsumeIntegralInRange(0, 200);
        if (p.reach(file, title, level, count) != ref.reach(file, title, level, count))
            fail("reach answers differently");
        const std::string askFile = name(in), askTitle = name(in);
        const Entry* e = ref.find(askFile, askTitle);
        if (p.furthest(askFile, askTitle) != (e ? std::optional<int>(e->level) : std::nullopt))
            fail("furthest answers differently");
    }
    Progress back = Progress::parse(p.format());
    for (const Entry& e : ref.entries) {
        if (e.file.empty() || e.level + 1 > 1'000'000) continue;  // lines no reader takes
        if (back.furthest(e.file, e.title) != e.level) fail("a pack is lost on the way round");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 1) {
        structured(data + 1, size - 1);
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string written = Progress::parse(text).format();
    if (Progress::parse(written).format() != written) fail("what was read does not read back");
    return 0;
}
