#include "engine/image/image_writers.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "engine/platform/data_files.h"
#include "engine/platform/file_stream.h"
#include "engine/image/image_limits.h"

namespace engine {

namespace {

constexpr int kPngLevel = 6;

// The level as 32-bit B, G, R, A rows, tightly packed; null when it cannot be read.
std::unique_ptr<std::uint8_t[]> ReadLevel(const ConstSurfaceView& level) {
    if (!ImageSizeAllowed(level.width, level.height)) return nullptr;
    const std::size_t pitch = std::size_t{level.width} * 4;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[pitch * level.height]);
    if (!pixels || !SurfaceToArgb8888(level, pixels.get(), pitch)) return nullptr;
    return pixels;
}

void PutLe16(std::uint8_t* p, unsigned v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void AppendBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data, std::size_t size) {
    AppendBe32(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size != 0) out.insert(out.end(), data, data + size);
    // The CRC covers the type and the data.
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32_z(crc, out.data() + typeAt, 4 + size);
    AppendBe32(out, static_cast<std::uint32_t>(crc));
}

std::uint8_t Paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Filters one row of RGBA bytes with each of the five filters and keeps the one whose bytes, read as
// signed values, sum smallest in size.
void FilterRow(const std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::uint8_t* out,
               std::uint8_t* scratch) {
    constexpr std::size_t kStep = 4;
    std::uint64_t bestCost = std::numeric_limits<std::uint64_t>::max();
    for (int type = 0; type <= 4; ++type) {
        std::uint64_t cost = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int a = i >= kStep ? row[i - kStep] : 0;
            const int b = prev != nullptr ? prev[i] : 0;
            const int c = prev != nullptr && i >= kStep ? prev[i - kStep] : 0;
            int predictor = 0;
            switch (type) {
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) >> 1; break;
                case 4: predictor = Paeth(a, b, c); break;
                default: break;
            }
            const auto v = static_cast<std::uint8_t>(row[i] - predictor);
            scratch[i] = v;
            cost += static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(v)));
        }
        if (cost < bestCost) {
            bestCost = cost;
            out[0] = static_cast<std::uint8_t>(type);
            std::memcpy(out + 1, scratch, n);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeTga(const ConstSurfaceView& level) {
    const std::unique_ptr<std::uint8_t[]> pixels = ReadLevel(level);
    if (!pixels || level.width > 0xFFFF || level.height > 0xFFFF) return {};
    const std::size_t bytes = std::size_t{level.width} * level.height * 4;
    std::vector<std::uint8_t> out(18 + bytes, 0);
    out[2] = 2;  // uncompressed true colour
    PutLe16(&out[12], level.width);
    PutLe16(&out[14], level.height);
    out[16] = 32;
    out[17] = 0x20 | 8;  // rows top first, 8 alpha bits
    std::memcpy(out.data() + 18, pixels.get(), bytes);
    return out;
}

std::vector<std::uint8_t> EncodePng(const ConstSurfaceView& level) {
    const std::unique_ptr<std::uint8_t[]> pixels = ReadLevel(level);
    if (!pixels) return {};
    const std::size_t rowBytes = std::size_t{level.width} * 4;
    const std::size_t rawSize = (rowBytes + 1) * level.height;
    std::unique_ptr<std::uint8_t[]> raw(new (std::nothrow) std::uint8_t[rawSize]);
    std::unique_ptr<std::uint8_t[]> rgba(new (std::nothrow) std::uint8_t[rowBytes * 2 + rowBytes]);
    if (!raw || !rgba) return {};
    std::uint8_t* rows[2] = {rgba.get(), rgba.get() + rowBytes};
    std::uint8_t* scratch = rgba.get() + 2 * rowBytes;
    for (std::uint32_t y = 0; y < level.height; ++y) {
        std::uint8_t* row = rows[y & 1];
        const std::uint8_t* bgra = pixels.get() + y * rowBytes;
        for (std::size_t x = 0; x < rowBytes; x += 4) {
            row[x] = bgra[x + 2];
            row[x + 1] = bgra[x + 1];
            row[x + 2] = bgra[x];
            row[x + 3] = bgra[x + 3];
        }
        FilterRow(row, y == 0 ? nullptr : rows[(y + 1) & 1], rowBytes, raw.get() + y * (rowBytes + 1), scratch);
    }

    uLongf packedSize = compressBound(static_cast<uLong>(rawSize));
    std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[packedSize]);
    if (!packed || compress2(packed.get(), &packedSize, raw.get(), static_cast<uLong>(rawSize), kPngLevel) != Z_OK) {
        return {};
    }

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<std::uint8_t>(level.width >> (24 - 8 * i));
        header[4 + i] = static_cast<std::uint8_t>(level.height >> (24 - 8 * i));
    }
    header[8] = 8;   // bits per sample
    header[9] = 6;   // truecolour with alpha
    AppendChunk(out, "IHDR", header, sizeof(header));
    AppendChunk(out, "IDAT", packed.get(), packedSize);
    AppendChunk(out, "IEND", nullptr, 0);
    return out;
}

int SaveDataFile(const WideString& relativePath, const void* data, std::size_t size) {
    FileStream stream;
    if (OpenDataFile(stream, relativePath, FileStream::kModeWrite) != 1) return 0;
    if (size != 0 && stream.Write(data, size) != size) return 0;  // the stream drops its temporary file
    return stream.Close() == 1 ? 1 : 0;
}

int SaveTgaFile(const WideString& relativePath, const ConstSurfaceView& level) {
    const std::vector<std::uint8_t> file = EncodeTga(level);
    return file.empty() ? 0 : SaveDataFile(relativePath, file.data(), file.size());
}

int SavePngFile(const WideString& relativePath, const ConstSurfaceView& level) {
    const std::vector<std::uint8_t> file = EncodePng(level);
    return file.empty() ? 0 : SaveDataFile(relativePath, file.data(), file.size());
}

}  // namespace engine
