// Renders the game's sounds from their text sources:
//   sfx effect <recipe.txt> <out.wav>       one effect
//   sfx music <song.txt> <out.ogg>          one piece of music
//   sfx speech <speech.txt> <out folder>    every line of every speech pack (<out>/Sound/DLC/<pack>/<slot>.wav)
//   sfx all <data folder> <out folder>      all of them (<data>/Sound/sfx, <data>/Sound/music, speech.txt)
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "sfx/build.h"
#include "sfx/text.h"

namespace {

int Usage() {
    std::fputs("usage: sfx effect <recipe.txt> <out.wav> | music <song.txt> <out.ogg> | speech <speech.txt> <out folder>"
               " | all <data folder> <out folder>\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const std::string command = argv[1];
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    try {
        if (command == "effect") {
            sfx::RenderEffectFile(argv[2], argv[3]);
        } else if (command == "music") {
            sfx::RenderMusicFile(argv[2], argv[3]);
        } else if (command == "speech") {
            sfx::CheckEspeak();
            sfx::RunJobs(sfx::SpeechJobs(argv[2], argv[3]), threads);
        } else if (command == "all") {
            const std::size_t files = sfx::RenderAll(argv[2], argv[3], threads);
            std::printf("%zu sound files written to %s\n", files, argv[3]);
        } else {
            return Usage();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sfx: %s\n", e.what());
        return 1;
    }
    return 0;
}
