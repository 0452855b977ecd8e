#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"

namespace {

using engine::MemorySaveStore;
using engine::NamedSaveBlob;
using engine::SaveBlob;
using Bytes = std::vector<std::uint8_t>;

constexpr int kProfileSize = 73356;
const std::string kFile = "savedata.sav";
const std::string kBadFile = "savedata.sav.bad";

Bytes RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

// The file contents a blob writes: version, checksum over the payload started from its length, payload.
Bytes Record(std::uint32_t version, const Bytes& payload) {
    Bytes record(8);
    PutU32(record, 0, version);
    PutU32(record, 4, engine::Crc32OfLength(payload.data(), payload.size()));
    record.insert(record.end(), payload.begin(), payload.end());
    return record;
}

Bytes Payload(SaveBlob& blob) {
    const std::uint8_t* p = blob.GetPayload();
    return p == nullptr ? Bytes{} : Bytes(p, p + blob.PayloadSize());
}

// The whole buffer, header included; the owner may use all of it.
Bytes Buffer(SaveBlob& blob) {
    const std::uint8_t* p = blob.GetPayload();
    return p == nullptr ? Bytes{} : Bytes(p - 8, p - 8 + blob.BufferSize());
}

TEST(SaveBlob, RoundTripsPayloadsAndWritesTheExactRecord) {
    for (int size : {0, 1, 3, kProfileSize}) {
        SCOPED_TRACE(size);
        MemorySaveStore store;
        const Bytes payload = RandomBytes(static_cast<std::size_t>(size), static_cast<std::uint32_t>(size));
        {
            NamedSaveBlob blob(store);
            blob.Setup(size, 4);
            blob.Load();
            EXPECT_EQ(blob.TakeState(), SaveBlob::kNoFile);
            ASSERT_NE(blob.GetPayload(), nullptr);
            EXPECT_EQ(Payload(blob), Bytes(static_cast<std::size_t>(size), 0));
            std::copy(payload.begin(), payload.end(), blob.GetPayload());
            blob.Save();
            EXPECT_EQ(blob.GetError(), SaveBlob::kSaved);
        }
        ASSERT_NE(store.Find(kFile), nullptr);
        EXPECT_EQ(*store.Find(kFile), Record(4, payload));

        NamedSaveBlob blob(store);
        blob.Setup(size, 4);
        blob.Load();
        EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);
        EXPECT_EQ(Payload(blob), payload);
        EXPECT_EQ(blob.Checksum(), GetU32(*store.Find(kFile), 4));
        EXPECT_EQ(blob.GetError(), 0);
    }
}

TEST(SaveBlob, ChecksumStartsFromThePayloadLength) {
    MemorySaveStore store;
    NamedSaveBlob blob(store);
    blob.Setup(3, 4);
    blob.Load();
    std::memcpy(blob.GetPayload(), "abc", 3);
    blob.Save();
    EXPECT_EQ(blob.Checksum(), 0xC8232689u);
    EXPECT_EQ(GetU32(*store.Find(kFile), 4), 0xC8232689u);

    // The same leading bytes one byte longer give another checksum.
    MemorySaveStore longer;
    NamedSaveBlob blob4(longer);
    blob4.Setup(4, 4);
    blob4.Load();
    std::memcpy(blob4.GetPayload(), "abc", 3);
    blob4.Save();
    EXPECT_NE(blob4.Checksum(), blob.Checksum());
}

struct DamageCase {
    const char* what;
    Bytes contents;
    int state;
};

TEST(SaveBlob, DamagedContents) {
    constexpr int kSize = 100;
    const Bytes payload = RandomBytes(kSize, 7);
    const Bytes good = Record(4, payload);

    std::vector<DamageCase> cases;
    for (std::size_t n = 1; n <= 7; ++n) cases.push_back({"short", Bytes(good.begin(), good.begin() + n), 4});
    cases.push_back({"empty", Bytes{}, 3});
    Bytes changed = good;
    changed[8 + 40] ^= 0x01;
    cases.push_back({"one payload byte changed", changed, 4});
    Bytes checksumChanged = good;
    checksumChanged[5] ^= 0x80;
    cases.push_back({"checksum changed", checksumChanged, 4});
    cases.push_back({"right version, shorter", Record(4, Bytes(payload.begin(), payload.end() - 1)), 4});
    Bytes longer = payload;
    longer.push_back(0);
    cases.push_back({"right version, longer", Record(4, longer), 4});
    cases.push_back({"header only, right version", Record(4, Bytes{}), 4});

    for (const DamageCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.contents.size()));
        MemorySaveStore store;
        store.Put(kFile, c.contents);
        NamedSaveBlob blob(store);
        blob.Setup(kSize, 4);
        blob.Load();
        EXPECT_EQ(blob.TakeState(), c.state);
        EXPECT_EQ(blob.OtherVersionSize(), 0u);
        EXPECT_EQ(blob.OtherVersionId(), 0u);
        if (c.state == SaveBlob::kBadFile) {
            EXPECT_EQ(blob.GetError(), SaveBlob::kFoundBadFile);
            // A fresh zero-filled buffer, and the file set aside with its bytes.
            EXPECT_EQ(Buffer(blob), Bytes(kSize + 8, 0));
            EXPECT_EQ(store.Find(kFile), nullptr);
            ASSERT_NE(store.Find(kBadFile), nullptr);
            EXPECT_EQ(*store.Find(kBadFile), c.contents);
        } else {
            EXPECT_EQ(blob.GetError(), 0);
        }
    }
}

TEST(SaveBlob, OlderVersionIsGivenOnceWithTheOldBytesAndAZeroTail) {
    constexpr int kSize = 64;
    for (std::size_t oldSize : {std::size_t{20}, std::size_t{kSize}, std::size_t{kSize + 30}}) {
        SCOPED_TRACE(oldSize);
        const Bytes oldPayload = RandomBytes(oldSize, 3);
        const Bytes file = Record(3, oldPayload);
        MemorySaveStore store;
        store.Put(kFile, file);
        NamedSaveBlob blob(store);
        blob.Setup(kSize, 4);
        blob.Load();
        EXPECT_EQ(blob.OtherVersionId(), 3u);
        EXPECT_EQ(blob.OtherVersionSize(), oldSize);
        EXPECT_EQ(blob.TakeState(), SaveBlob::kOtherVersion);
        EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);
        EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);
        EXPECT_EQ(blob.GetError(), 0);

        Bytes expected = file;
        if (expected.size() < kSize + 8) expected.resize(kSize + 8, 0);
        EXPECT_EQ(Buffer(blob), expected);
        ASSERT_NE(store.Find(kFile), nullptr);

        // The next load clears the other-version fields again.
        store.Put(kFile, Record(4, Bytes(kSize, 9)));
        blob.Load();
        EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);
        EXPECT_EQ(blob.OtherVersionId(), 0u);
        EXPECT_EQ(blob.OtherVersionSize(), 0u);
    }
}

TEST(SaveBlob, NoFileLeavesBufferAndResultWord) {
    MemorySaveStore store;
    NamedSaveBlob blob(store);
    blob.Setup(16, 4);
    store.SetFailWrites(true);
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaveFailed);
    std::memset(blob.GetPayload(), 0x5A, 16);
    std::uint8_t* before = blob.GetPayload();

    blob.Load();
    EXPECT_EQ(blob.TakeState(), SaveBlob::kNoFile);
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaveFailed);
    EXPECT_EQ(blob.GetPayload(), before);
    EXPECT_EQ(Payload(blob), Bytes(16, 0x5A));
}

TEST(SaveBlob, FailedSaveKeepsTheOldFile) {
    MemorySaveStore store;
    store.Put(kFile, Record(4, Bytes(32, 1)));
    NamedSaveBlob blob(store);
    blob.Setup(32, 4);
    blob.Load();
    ASSERT_EQ(blob.TakeState(), SaveBlob::kLoaded);
    std::memset(blob.GetPayload(), 2, 32);
    store.SetFailWrites(true);
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaveFailed);
    // The load state is the save's business no more than the file is.
    EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);

    NamedSaveBlob again(store);
    again.Setup(32, 4);
    again.Load();
    EXPECT_EQ(again.TakeState(), SaveBlob::kLoaded);
    EXPECT_EQ(Payload(again), Bytes(32, 1));
}

// The profile reloads while the result word says "bad file"; the set-aside file makes the second load a
// first start, and the next save writes a fresh file beside the kept bad one.
TEST(SaveBlob, ReloadingOnABadFileEndsWithAFirstStart) {
    MemorySaveStore store;
    const Bytes damaged = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    store.Put(kFile, damaged);
    NamedSaveBlob blob(store);
    blob.Setup(kProfileSize, 4);

    int loads = 0;
    int state = 0;
    do {
        blob.Load();
        ++loads;
        state = blob.TakeState();
    } while (state == SaveBlob::kBadFile && blob.GetError() == SaveBlob::kFoundBadFile && loads < 10);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(state, SaveBlob::kNoFile);

    blob.GetPayload()[0] = 42;
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaved);
    ASSERT_NE(store.Find(kBadFile), nullptr);
    EXPECT_EQ(*store.Find(kBadFile), damaged);
    blob.Load();
    EXPECT_EQ(blob.TakeState(), SaveBlob::kLoaded);
    EXPECT_EQ(blob.GetPayload()[0], 42);
}

TEST(SaveBlob, SetupForALargerPayloadRenewsASmallBuffer) {
    MemorySaveStore store;
    NamedSaveBlob blob(store);
    blob.Setup(4, 4);
    blob.Load();
    ASSERT_EQ(blob.BufferSize(), 12u);
    blob.Setup(kProfileSize, 4);
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaved);
    ASSERT_GE(blob.BufferSize(), std::size_t{kProfileSize} + 8);
    EXPECT_EQ(store.Find(kFile)->size(), std::size_t{kProfileSize} + 8);

    blob.Setup(-5, 4);
    EXPECT_EQ(blob.PayloadSize(), 0);
}

TEST(SaveBlob, ResetBufferGivesAFreshZeroFilledBuffer) {
    MemorySaveStore store;
    store.Put(kFile, Record(3, Bytes(200, 7)));
    NamedSaveBlob blob(store);
    blob.Setup(50, 4);
    blob.Load();
    ASSERT_EQ(blob.TakeState(), SaveBlob::kOtherVersion);
    EXPECT_EQ(blob.BufferSize(), 208u);
    ASSERT_TRUE(blob.ResetBuffer());
    EXPECT_EQ(Buffer(blob), Bytes(58, 0));
}

}  // namespace
