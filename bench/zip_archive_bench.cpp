// Archive lookups and extraction over four mounted archives of 4096 entries each, read from files.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "engine/platform/archive_set.h"
#include "engine/platform/posix_zip_archive.h"
#include "support/temp_folder.h"
#include "support/zip_writer.h"

namespace {

constexpr int kArchives = 4;
constexpr int kEntries = 4096;
constexpr std::size_t kLarge = 1024 * 1024;

// Letters from a small alphabet: deflate roughly halves them, like typical data files.
std::string Letters(std::size_t n, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string out(n, ' ');
    for (char& c : out) c = static_cast<char>('a' + random() % 12);
    return out;
}

struct Fixture {
    testsupport::TempFolder folder;
    engine::ArchiveSet set;

    Fixture() {
        for (int a = 0; a < kArchives; ++a) {
            testsupport::ZipWriter writer;
            for (int e = 0; e < kEntries; ++e) {
                writer.Add("Data/Archive" + std::to_string(a) + "/Entry" + std::to_string(e) + ".bin",
                           Letters(64, static_cast<std::uint32_t>(a * kEntries + e)), 0);
            }
            if (a == kArchives - 1) {
                writer.Add("Large/Stored.bin", Letters(kLarge, 1), 0);
                writer.Add("Large/Deflated.bin", Letters(kLarge, 2), 8);
            }
            const testsupport::ZipImage image = writer.Build();
            const std::string name = "Archive" + std::to_string(a) + ".zip";
            folder.Write(name, image.bytes.data(), image.bytes.size());
            auto archive = std::make_unique<engine::PosixZipArchive>();
            archive->Open(folder.File(name));
            set.Mount(std::move(archive), name);
        }
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Find(benchmark::State& state, const char* path, std::int64_t bytesPerRead) {
    Fixture& f = Shared();
    std::unique_ptr<std::uint8_t[]> buffer;
    std::uint32_t size = 0;
    for (auto _ : state) {
        if (!engine::FindInArchives(f.set, path, buffer, size)) state.SkipWithError("entry not found");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * bytesPerRead);
}

// The last archive answers, after three that do not hold the name.
void BM_FindInArchivesSmallStored(benchmark::State& state) { Find(state, "data\\archive3\\entry4000.bin", 64); }
BENCHMARK(BM_FindInArchivesSmallStored);

void BM_FindInArchivesLargeStored(benchmark::State& state) { Find(state, "Large/Stored.bin", kLarge); }
BENCHMARK(BM_FindInArchivesLargeStored);

void BM_FindInArchivesLargeDeflated(benchmark::State& state) { Find(state, "Large/Deflated.bin", kLarge); }
BENCHMARK(BM_FindInArchivesLargeDeflated);

}  // namespace
