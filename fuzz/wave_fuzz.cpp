// The wave check stands between any file in "Sound" or "Musik" and the audio library: it
// must refuse damaged data without reading beyond it, and what it passes must be exactly
// what the library handles. The first byte decides how much of the file counts as read
// (a song's check sees only the start of a long file).
#include "app/wave.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "wave_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    // The head as a copy of its own, so that a read past it is caught.
    const size_t headSize = data[0] < 128 ? file.size() : file.size() * (data[0] - 127) / 128;
    const std::string head = file.substr(0, headSize);
    const auto w = lumor::checkWave(head, file.size());
    if (!w) return 0;

    const bool pcm =
        w->encoding == 1 && (w->bits == 8 || w->bits == 16 || w->bits == 24 || w->bits == 32);
    const bool floats = w->encoding == 3 && w->bits == 32;
    if (!pcm && !floats) fail("an encoding the library may not handle");
    if (w->channels < 1 || w->channels > lumor::WaveMaxChannels) fail("channels");
    if (w->rate < lumor::WaveMinRate || w->rate > lumor::WaveMaxRate) fail("rate");
    if (w->blockAlign != w->channels * (w->bits / 8)) fail("block alignment");
    if (w->dataSize == 0 || w->dataSize % w->blockAlign != 0) fail("no whole blocks");
    if (w->dataOffset + w->dataSize > file.size()) fail("samples beyond the file");

    // The header given to the library states the same format, in front of the samples.
    const std::string clean = lumor::waveHeader(*w) + file.substr(w->dataOffset, w->dataSize);
    auto again = lumor::checkWave(clean, clean.size());
    if (!again || again->dataOffset != 44) fail("our own header is refused");
    again->dataOffset = w->dataOffset;
    if (!(*again == *w)) fail("our own header says something else");
    return 0;
}
