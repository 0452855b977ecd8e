#pragma once
// Renders the whole sound data set from its sources into an output folder, in parallel:
//   <data>/Sound/sfx/<Name>.txt     ->  <out>/Sound/<Name>.wav
//   <data>/Sound/music/<Name>.txt   ->  <out>/Music/<Name>.ogg
//   <data>/Sound/speech.txt         ->  <out>/Sound/DLC/<pack>/<slot>.wav
#include <functional>
#include <string>
#include <vector>

#include "sfx/speech.h"

namespace sfx {

void RenderEffectFile(const std::string& recipePath, const std::string& outPath);
void RenderMusicFile(const std::string& songPath, const std::string& outPath);
// One spoken line, finished and written as a WAV file.
void RenderSpeechLine(const SpeechPack& pack, const SpeechLine& line, const std::string& outPath,
                      const std::string& program = kEspeakProgram);

// Runs the jobs on `threads` workers; every failure is collected, and an Error lists them all at the end.
void RunJobs(const std::vector<std::function<void()>>& jobs, unsigned threads);

// The jobs of every speech line of the source's packs.
std::vector<std::function<void()>> SpeechJobs(const std::string& speechPath, const std::string& outFolder,
                                              const std::string& program = kEspeakProgram);
// Everything; refused before any speech is rendered when espeak-ng cannot be run. Returns the files written.
std::size_t RenderAll(const std::string& dataFolder, const std::string& outFolder, unsigned threads);

}  // namespace sfx
