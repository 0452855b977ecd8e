#include "engine/image/png_rows.h"

#include <cstdlib>

namespace engine::png {

namespace {

// Branch-free, so that the compiler can select with conditional moves.
inline std::uint8_t Paeth(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int bc = pb <= pc ? b : c;
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : bc);
}

// One row; `prev` is the unfiltered row above, or null for the first row of a pass (read as zeros). `kStep`
// is the filter step when known at compile time, 0 for `step`.
template <std::size_t kStep>
bool UnfilterRow(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t dynamicStep) {
    const std::size_t step = kStep != 0 ? kStep : dynamicStep;
    const std::size_t lead = step < n ? step : n;
    switch (type) {
        case 0:
            return true;
        case 1:
            for (std::size_t i = step; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - step]);
            return true;
        case 2:
            if (prev != nullptr) {
                for (std::size_t i = 0; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
            }
            return true;
        case 3:
            if (prev == nullptr) {
                for (std::size_t i = step; i < n; ++i) {
                    row[i] = static_cast<std::uint8_t>(row[i] + (row[i - step] >> 1));
                }
                return true;
            }
            for (std::size_t i = 0; i < lead; ++i) row[i] = static_cast<std::uint8_t>(row[i] + (prev[i] >> 1));
            for (std::size_t i = step; i < n; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - step] + prev[i]) >> 1));
            }
            return true;
        case 4:
            if (prev == nullptr) {  // the predictor of a zero row above is the left byte
                for (std::size_t i = step; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - step]);
                return true;
            }
            for (std::size_t i = 0; i < lead; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
            for (std::size_t i = step; i < n; ++i) {
                row[i] = static_cast<std::uint8_t>(row[i] + Paeth(row[i - step], prev[i], prev[i - step]));
            }
            return true;
        default:
            return false;
    }
}

template <std::size_t kStep>
bool UnfilterRows(std::uint8_t* data, std::uint64_t rows, std::size_t rowBytes, std::size_t step) {
    const std::uint8_t* prev = nullptr;
    for (std::uint64_t r = 0; r < rows; ++r) {
        std::uint8_t* line = data + r * (rowBytes + 1);
        if (!UnfilterRow<kStep>(line[0], line + 1, prev, rowBytes, step)) return false;
        prev = line + 1;
    }
    return true;
}

}  // namespace

int Channels(int colourType) {
    switch (colourType) {
        case kTruecolour:
            return 3;
        case kGreyAlpha:
            return 2;
        case kTruecolourAlpha:
            return 4;
        default:
            return 1;
    }
}

int BitsPerPixel(const Header& header) { return Channels(header.colourType) * header.depth; }

int FilterStep(const Header& header) {
    const int bytes = BitsPerPixel(header) / 8;
    return bytes < 1 ? 1 : bytes;
}

std::uint64_t RowBytes(const Header& header, std::uint32_t width) {
    return (std::uint64_t{width} * static_cast<std::uint64_t>(BitsPerPixel(header)) + 7) / 8;
}

bool Unfilter(std::uint8_t* data, std::uint64_t rows, std::size_t rowBytes, int step) {
    const auto s = static_cast<std::size_t>(step);
    switch (s) {
        case 1:
            return UnfilterRows<1>(data, rows, rowBytes, s);
        case 3:
            return UnfilterRows<3>(data, rows, rowBytes, s);
        case 4:
            return UnfilterRows<4>(data, rows, rowBytes, s);
        default:
            return UnfilterRows<0>(data, rows, rowBytes, s);
    }
}

RowConverter::RowConverter(const Header& header, const Palette& palette, const Transparency& transparency,
                           std::uint8_t* pixels)
    : header_(header), palette_(palette), transparency_(transparency), pixels_(pixels) {}

std::uint32_t RowConverter::Sample(const std::uint8_t* row, std::uint32_t index) const {
    const int depth = header_.depth;
    if (depth == 8) return row[index];
    if (depth == 16) return (std::uint32_t{row[2 * std::size_t{index}]} << 8) | row[2 * std::size_t{index} + 1];
    const std::size_t bit = std::size_t{index} * static_cast<std::size_t>(depth);
    const unsigned shift = 8u - static_cast<unsigned>(depth) - static_cast<unsigned>(bit & 7u);
    return (row[bit >> 3] >> shift) & ((1u << depth) - 1u);
}

std::uint8_t RowConverter::ToByte(std::uint32_t sample) const {
    const int depth = header_.depth;
    if (depth == 8) return static_cast<std::uint8_t>(sample);
    if (depth == 16) return static_cast<std::uint8_t>(sample >> 8);
    return static_cast<std::uint8_t>(sample * 255u / ((1u << depth) - 1u));
}

bool RowConverter::Convert(const std::uint8_t* row, std::uint32_t count, std::uint32_t y, std::uint32_t x0,
                           std::uint32_t dx) {
    std::uint8_t* out = pixels_ + (std::size_t{y} * header_.width + x0) * 4;
    const std::size_t outStep = std::size_t{dx} * 4;
    const int type = header_.colourType;
    const bool key = transparency_.hasKey;

    if (header_.depth == 8 && type == kTruecolourAlpha) {
        for (std::uint32_t i = 0; i < count; ++i, row += 4, out += outStep) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = row[3];
            scan_.Add(row[3]);
        }
        return true;
    }
    if (header_.depth == 8 && type == kTruecolour && !key) {
        for (std::uint32_t i = 0; i < count; ++i, row += 3, out += outStep) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = 255;
        }
        return true;
    }

    for (std::uint32_t i = 0; i < count; ++i, out += outStep) {
        std::uint8_t r, g, b, a = 255;
        switch (type) {
            case kGrey: {
                const std::uint32_t s = Sample(row, i);
                r = g = b = ToByte(s);
                if (key && s == transparency_.key[0]) a = 0;
                break;
            }
            case kTruecolour: {
                const std::uint32_t sr = Sample(row, 3 * i), sg = Sample(row, 3 * i + 1), sb = Sample(row, 3 * i + 2);
                r = ToByte(sr);
                g = ToByte(sg);
                b = ToByte(sb);
                if (key && sr == transparency_.key[0] && sg == transparency_.key[1] && sb == transparency_.key[2]) {
                    a = 0;
                    keyMatched_ = true;
                }
                break;
            }
            case kPalette: {
                const std::uint32_t index = Sample(row, i);
                if (index >= static_cast<std::uint32_t>(palette_.size)) return false;
                const std::uint8_t* entry = palette_.rgba + index * 4;
                r = entry[0];
                g = entry[1];
                b = entry[2];
                if (header_.depth == 8) {
                    a = index == 0 ? 0 : 255;
                    if (index == 0) indexZeroSeen_ = true;
                } else {
                    a = entry[3];
                }
                break;
            }
            case kGreyAlpha:
                r = g = b = ToByte(Sample(row, 2 * i));
                a = ToByte(Sample(row, 2 * i + 1));
                break;
            default:  // truecolour with alpha, 16 bits
                r = ToByte(Sample(row, 4 * i));
                g = ToByte(Sample(row, 4 * i + 1));
                b = ToByte(Sample(row, 4 * i + 2));
                a = ToByte(Sample(row, 4 * i + 3));
                scan_.Add(a);
                break;
        }
        out[0] = b;
        out[1] = g;
        out[2] = r;
        out[3] = a;
    }
    return true;
}

AlphaKind RowConverter::Kind() const {
    switch (header_.colourType) {
        case kTruecolour:
            return keyMatched_ ? kAlphaKeyed : kAlphaOpaque;
        case kPalette:
            return header_.depth == 8 && indexZeroSeen_ ? kAlphaKeyed : kAlphaOpaque;
        case kTruecolourAlpha:
            return scan_.Kind();
        default:
            return kAlphaOpaque;
    }
}

}  // namespace engine::png
