#pragma once
// Decompression of zlib streams (RFC 1950) and the deflate data inside them (RFC 1951) into a buffer whose
// size the caller knows in advance. The output is never written past its capacity and the input never read
// past its end; the Adler-32 check value of a zlib stream is not verified.
#include <cstddef>
#include <cstdint>

namespace engine {

// Result codes; 0 is success.
constexpr int kInflateOk = 0;
constexpr int kInflateBadCodeLengths = 16;  // a Huffman code set is over-subscribed or its lengths are invalid
constexpr int kInflateBadSymbol = 17;       // a code that is not in its set, or a length or distance symbol
                                            // that deflate does not define
constexpr int kInflateBadDistance = 18;     // a distance reaching back before the start of the output
constexpr int kInflateBadBlockType = 20;
constexpr int kInflateBadStoredLength = 21;  // a stored block's length and its complement disagree
constexpr int kInflateOutOfData = 52;
constexpr int kInflateOutputFull = 54;  // the data would produce more than the output can take
constexpr int kZlibBadHeaderCheck = 24;
constexpr int kZlibBadMethod = 25;  // not deflate, or a window above 32 KiB
constexpr int kZlibPresetDictionary = 26;
constexpr int kZlibTooShort = 53;

// Inflates raw deflate data into out (capacity bytes). `produced` is the byte count written, also on failure.
int InflateRaw(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t capacity,
               std::size_t& produced);
// Checks the two-byte zlib header, then inflates the deflate data behind it.
int InflateZlib(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t capacity,
                std::size_t& produced);

// An upper bound of what `size` bytes of deflate data can inflate to (a 258-byte match takes at least two
// bits).
constexpr std::uint64_t MaxInflatedSize(std::size_t size) { return std::uint64_t{size} * 1032 + 1032; }

}  // namespace engine
