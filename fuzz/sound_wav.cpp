// Arbitrary bytes as a ".wav" sound file: see sound_fuzz.h. Every PCM byte a WAV announces must be there
// (the data chunk is cut to the bytes present), and a rewind must read the same bytes again.
#include "sound_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    return soundfuzz::Run(input, size, ".wav", true);
}
