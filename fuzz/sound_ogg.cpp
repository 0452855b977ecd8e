// Arbitrary bytes as an ".ogg" sound file: see sound_fuzz.h. Decoding must end, whatever the pages claim.
#include "sound_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    return soundfuzz::Run(input, size, ".ogg", false);
}
