#include "sfx/build.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "ogg/ogg_writer.h"
#include "sfx/synth.h"
#include "sfx/text.h"
#include "sfx/tracker.h"
#include "sfx/wav.h"

namespace sfx {

namespace {

namespace fs = std::filesystem;

// The .txt files of a folder, sorted by name.
std::vector<fs::path> Sources(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") out.push_back(entry.path());
    }
    if (error) throw Error(folder.string() + ": cannot be listed");
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

void RenderEffectFile(const std::string& recipePath, const std::string& outPath) {
    const Recipe recipe = ParseRecipe(ReadFile(recipePath), recipePath);
    WriteFile(outPath, EncodeWav(RenderEffect(recipe, recipePath), kEffectRate));
}

void RenderMusicFile(const std::string& songPath, const std::string& outPath) {
    const Song song = ParseSong(ReadFile(songPath), songPath);
    const std::string bytes = ogg::EncodeOgg(RenderSong(song, songPath), 2, kMusicRate);
    if (bytes.empty()) throw Error(songPath + ": the Ogg Vorbis encoder refused it");
    WriteFile(outPath, bytes);
}

void RenderSpeechLine(const SpeechPack& pack, const SpeechLine& line, const std::string& outPath,
                      const std::string& program) {
    const std::string what = pack.name + "/" + line.slot;
    const MonoSound spoken = DecodeWav(RunEspeak(pack, line.text, program), what);
    if (spoken.rate != kEffectRate) throw Error(what + ": espeak-ng spoke at " + std::to_string(spoken.rate) + " Hz");
    const std::vector<std::int16_t> samples = FinishSpeech(spoken, pack.filter);
    if (samples.empty()) throw Error(what + ": espeak-ng gave no sound");
    WriteFile(outPath, EncodeWav(samples, kEffectRate));
}

void RunJobs(const std::vector<std::function<void()>>& jobs, unsigned threads) {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::vector<std::string> failures;
    auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            try {
                jobs[i]();
            } catch (const std::exception& e) {
                const std::lock_guard<std::mutex> lock(mutex);
                failures.emplace_back(e.what());
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < std::max(threads, 1u); ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    if (failures.empty()) return;
    std::sort(failures.begin(), failures.end());
    std::string message;
    for (const std::string& failure : failures) message += failure + "\n";
    message.pop_back();
    throw Error(message);
}

std::vector<std::function<void()>> SpeechJobs(const std::string& speechPath, const std::string& outFolder,
                                              const std::string& program) {
    auto packs = std::make_shared<const std::vector<SpeechPack>>(ParseSpeech(ReadFile(speechPath), speechPath));
    std::vector<std::function<void()>> jobs;
    for (const SpeechPack& pack : *packs) {
        for (const SpeechLine& line : pack.lines) {
            const std::string out = (fs::path(outFolder) / "Sound" / "DLC" / pack.name / (line.slot + ".wav")).string();
            jobs.emplace_back([packs, &pack, &line, out, program] { RenderSpeechLine(pack, line, out, program); });
        }
    }
    return jobs;
}

std::size_t RenderAll(const std::string& dataFolder, const std::string& outFolder, unsigned threads) {
    const fs::path data(dataFolder);
    const fs::path out(outFolder);
    CheckEspeak();
    std::vector<std::function<void()>> jobs;
    // The long songs go first, so that the short jobs fill in around them.
    for (const fs::path& song : Sources(data / "Sound" / "music")) {
        const std::string target = (out / "Music" / song.stem()).string() + ".ogg";
        jobs.emplace_back([song, target] { RenderMusicFile(song.string(), target); });
    }
    for (const fs::path& recipe : Sources(data / "Sound" / "sfx")) {
        const std::string target = (out / "Sound" / recipe.stem()).string() + ".wav";
        jobs.emplace_back([recipe, target] { RenderEffectFile(recipe.string(), target); });
    }
    for (auto& job : SpeechJobs((data / "Sound" / "speech.txt").string(), outFolder)) jobs.push_back(std::move(job));
    RunJobs(jobs, threads);
    return jobs.size();
}

}  // namespace sfx
