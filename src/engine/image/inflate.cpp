#include "engine/image/inflate.h"

#include <bit>
#include <cstring>

namespace engine {

namespace {

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                             33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr int kMaxCodeLength = 15;
constexpr int kLiteralSymbols = 288;
constexpr int kDistanceSymbols = 32;

// Reads the stream's bits least significant first through a 64-bit buffer. `count_` bits of the buffer are
// loaded; the bits above them are either zero or the stream's next bits, so loading them again changes
// nothing. Whole bytes held in the buffer can be handed back (Rewind) because every load takes whole bytes.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // Afterwards at least 56 bits are loaded, or all that the input holds.
    void Refill() {
        if (size_ - pos_ >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data_ + pos_, 8);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            bits_ |= word << count_;
            pos_ += (63 - count_) >> 3;
            count_ |= 56;
        } else {
            while (count_ <= 56 && pos_ < size_) {
                bits_ |= std::uint64_t{data_[pos_++]} << count_;
                count_ += 8;
            }
        }
    }
    std::uint64_t Peek() const { return bits_; }
    unsigned Count() const { return count_; }
    // False, consuming nothing, when fewer than n bits are loaded.
    bool Consume(unsigned n) {
        if (n > count_) return false;
        bits_ >>= n;
        count_ -= n;
        return true;
    }
    // n <= 32 bits after a refill.
    bool Read(unsigned n, std::uint32_t& value) {
        if (count_ < n) Refill();
        value = static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1));
        return Consume(n);
    }
    // Drops the bits up to the next byte boundary and hands the loaded whole bytes back to the input.
    void AlignAndRewind() {
        Consume(count_ & 7u);
        pos_ -= count_ >> 3;
        bits_ = 0;
        count_ = 0;
    }
    // Whole-byte access after AlignAndRewind.
    std::size_t Remaining() const { return size_ - pos_; }
    const std::uint8_t* Bytes() const { return data_ + pos_; }
    void SkipBytes(std::size_t n) { pos_ += n; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
};

// A canonical Huffman code. Codes of up to kFastBits bits are found with one table lookup (entries hold
// symbol << 4 | length, 0 for none); longer codes are decoded a bit at a time from the code counts.
class Huffman {
public:
    static constexpr int kFastBits = 10;

    // False when the lengths over-subscribe the code space. Incomplete codes are accepted; their unused
    // bit patterns decode as errors.
    bool Build(const std::uint8_t* lengths, int n) {
        std::memset(counts_, 0, sizeof(counts_));
        for (int s = 0; s < n; ++s) ++counts_[lengths[s]];
        counts_[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            left = (left << 1) - counts_[len];
            if (left < 0) return false;
        }
        std::uint16_t offsets[kMaxCodeLength + 2];
        offsets[1] = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) offsets[len + 1] = offsets[len] + counts_[len];
        for (int s = 0; s < n; ++s) {
            if (lengths[s] != 0) symbols_[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);
        }
        std::memset(fast_, 0, sizeof(fast_));
        // Canonical codes, assigned in symbol order within each length.
        unsigned code = 0;
        int index = 0;
        for (int len = 1; len <= kFastBits; ++len) {
            for (int k = 0; k < counts_[len]; ++k, ++code, ++index) {
                const unsigned reversed = ReverseBits(code, len);
                const auto entry = static_cast<std::uint16_t>((symbols_[index] << 4) | len);
                for (unsigned f = reversed; f < (1u << kFastBits); f += 1u << len) fast_[f] = entry;
            }
            code <<= 1;
        }
        return true;
    }

    // The next symbol; -1 for a bit pattern outside the code, -2 when the input ends inside a code.
    int Decode(BitReader& reader) const {
        const unsigned entry = fast_[reader.Peek() & ((1u << kFastBits) - 1)];
        if (entry != 0) {
            if (!reader.Consume(entry & 15u)) return -2;
            return static_cast<int>(entry >> 4);
        }
        return DecodeSlow(reader);
    }

private:
    static unsigned ReverseBits(unsigned code, int len) {
        unsigned r = 0;
        for (int i = 0; i < len; ++i) r |= ((code >> i) & 1u) << (len - 1 - i);
        return r;
    }

    int DecodeSlow(BitReader& reader) const {
        const std::uint64_t bits = reader.Peek();
        int code = 0;
        int first = 0;
        int index = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            code |= static_cast<int>((bits >> (len - 1)) & 1u);
            const int count = counts_[len];
            if (code - first < count) {
                if (!reader.Consume(static_cast<unsigned>(len))) return -2;
                return symbols_[index + code - first];
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        // Bits past the end of the input read as zero and may form no code.
        return reader.Count() < static_cast<unsigned>(kMaxCodeLength) ? -2 : -1;
    }

    std::uint16_t counts_[kMaxCodeLength + 1];
    std::uint16_t symbols_[kLiteralSymbols];
    std::uint16_t fast_[1u << kFastBits];
};

int SymbolError(int symbol) { return symbol == -2 ? kInflateOutOfData : kInflateBadSymbol; }

class Inflater {
public:
    Inflater(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t capacity)
        : reader_(data, size), out_(out), capacity_(capacity) {}

    int Run() {
        for (;;) {
            std::uint32_t final = 0, type = 0;
            reader_.Refill();
            if (!reader_.Read(1, final) || !reader_.Read(2, type)) return kInflateOutOfData;
            int result;
            if (type == 0) {
                result = Stored();
            } else if (type == 1) {
                result = Fixed();
            } else if (type == 2) {
                result = Dynamic();
            } else {
                return kInflateBadBlockType;
            }
            if (result != kInflateOk) return result;
            if (final != 0) return kInflateOk;
        }
    }

    std::size_t Produced() const { return pos_; }

private:
    int Stored() {
        reader_.AlignAndRewind();
        if (reader_.Remaining() < 4) return kInflateOutOfData;
        const std::uint8_t* p = reader_.Bytes();
        const unsigned length = p[0] | (p[1] << 8);
        const unsigned complement = p[2] | (p[3] << 8);
        if ((length ^ 0xFFFFu) != complement) return kInflateBadStoredLength;
        reader_.SkipBytes(4);
        if (reader_.Remaining() < length) return kInflateOutOfData;
        if (capacity_ - pos_ < length) return kInflateOutputFull;
        if (length != 0) std::memcpy(out_ + pos_, reader_.Bytes(), length);
        pos_ += length;
        reader_.SkipBytes(length);
        return kInflateOk;
    }

    int Fixed() {
        std::uint8_t lengths[kLiteralSymbols];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        literals_.Build(lengths, kLiteralSymbols);
        std::memset(lengths, 5, kDistanceSymbols);
        distances_.Build(lengths, kDistanceSymbols);
        return Codes();
    }

    int Dynamic() {
        std::uint32_t hlit = 0, hdist = 0, hclen = 0;
        if (!reader_.Read(5, hlit) || !reader_.Read(5, hdist) || !reader_.Read(4, hclen)) return kInflateOutOfData;
        const int literalCount = static_cast<int>(hlit) + 257;
        const int distanceCount = static_cast<int>(hdist) + 1;
        if (literalCount > 286 || distanceCount > 30) return kInflateBadCodeLengths;

        std::uint8_t codeLengthLengths[19] = {};
        for (std::uint32_t i = 0; i < hclen + 4; ++i) {
            std::uint32_t v = 0;
            if (!reader_.Read(3, v)) return kInflateOutOfData;
            codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(v);
        }
        Huffman& codeLengths = literals_;  // free until the literal code is built
        if (!codeLengths.Build(codeLengthLengths, 19)) return kInflateBadCodeLengths;

        std::uint8_t lengths[286 + 30] = {};
        const int total = literalCount + distanceCount;
        for (int i = 0; i < total;) {
            reader_.Refill();
            const int symbol = codeLengths.Decode(reader_);
            if (symbol < 0) return SymbolError(symbol);
            if (symbol < 16) {
                lengths[i++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t value = 0;
            std::uint32_t repeat = 0;
            bool ok;
            if (symbol == 16) {
                if (i == 0) return kInflateBadCodeLengths;
                value = lengths[i - 1];
                ok = reader_.Read(2, repeat);
                repeat += 3;
            } else if (symbol == 17) {
                ok = reader_.Read(3, repeat);
                repeat += 3;
            } else {
                ok = reader_.Read(7, repeat);
                repeat += 11;
            }
            if (!ok) return kInflateOutOfData;
            if (repeat > static_cast<std::uint32_t>(total - i)) return kInflateBadCodeLengths;
            std::memset(lengths + i, value, repeat);
            i += static_cast<int>(repeat);
        }
        if (lengths[256] == 0) return kInflateBadCodeLengths;  // the block could never end
        if (!literals_.Build(lengths, literalCount) || !distances_.Build(lengths + literalCount, distanceCount)) {
            return kInflateBadCodeLengths;
        }
        return Codes();
    }

    // Literals and matches up to the end-of-block code. One refill covers a whole match: at most 15 + 5 +
    // 15 + 13 bits.
    int Codes() {
        std::uint8_t* const out = out_;
        const std::size_t capacity = capacity_;
        std::size_t pos = pos_;
        int result = kInflateOk;
        for (;;) {
            reader_.Refill();
            int symbol = literals_.Decode(reader_);
            if (symbol < 256) {
                if (symbol < 0) {
                    result = SymbolError(symbol);
                    break;
                }
                if (pos == capacity) {
                    result = kInflateOutputFull;
                    break;
                }
                out[pos++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) break;
            symbol -= 257;
            if (symbol >= 29) {
                result = kInflateBadSymbol;
                break;
            }
            const unsigned lengthExtra = kLengthExtra[symbol];
            const std::size_t length =
                kLengthBase[symbol] + static_cast<std::size_t>(reader_.Peek() & ((1u << lengthExtra) - 1));
            if (!reader_.Consume(lengthExtra)) {
                result = kInflateOutOfData;
                break;
            }
            const int d = distances_.Decode(reader_);
            if (d < 0 || d >= 30) {
                result = d < 0 ? SymbolError(d) : kInflateBadSymbol;
                break;
            }
            const unsigned distanceExtra = kDistanceExtra[d];
            const std::size_t distance =
                kDistanceBase[d] + static_cast<std::size_t>(reader_.Peek() & ((1u << distanceExtra) - 1));
            if (!reader_.Consume(distanceExtra)) {
                result = kInflateOutOfData;
                break;
            }
            if (distance > pos) {
                result = kInflateBadDistance;
                break;
            }
            if (length > capacity - pos) {
                result = kInflateOutputFull;
                break;
            }
            CopyMatch(out + pos, distance, length, capacity - pos);
            pos += length;
        }
        pos_ = pos;
        return result;
    }

    // Copies `length` bytes from `distance` bytes back; `room` bytes may be written from dst.
    static void CopyMatch(std::uint8_t* dst, std::size_t distance, std::size_t length, std::size_t room) {
        const std::uint8_t* src = dst - distance;
        if (distance >= 8 && room >= length + 8) {
            // Eight bytes at a time: each chunk reads only bytes written before it.
            for (std::size_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
        } else if (distance == 1) {
            std::memset(dst, *src, length);
        } else {
            for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
        }
    }

    BitReader reader_;
    std::uint8_t* out_;
    std::size_t capacity_;
    std::size_t pos_ = 0;
    Huffman literals_;
    Huffman distances_;
};

}  // namespace

int InflateRaw(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t capacity,
               std::size_t& produced) {
    produced = 0;
    if (data == nullptr) size = 0;
    if (out == nullptr) capacity = 0;
    Inflater inflater(data, size, out, capacity);
    const int result = inflater.Run();
    produced = inflater.Produced();
    return result;
}

int InflateZlib(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t capacity,
                std::size_t& produced) {
    produced = 0;
    if (data == nullptr || size < 2) return kZlibTooShort;
    const unsigned cmf = data[0];
    const unsigned flg = data[1];
    if ((cmf * 256 + flg) % 31 != 0) return kZlibBadHeaderCheck;
    if ((cmf & 15u) != 8 || (cmf >> 4) > 7) return kZlibBadMethod;
    if ((flg & 0x20u) != 0) return kZlibPresetDictionary;
    return InflateRaw(data + 2, size - 2, out, capacity, produced);
}

}  // namespace engine
