#include "support/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <utility>

namespace testsupport {

namespace {

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    AppendU16(out, static_cast<std::uint16_t>(v));
    AppendU16(out, static_cast<std::uint16_t>(v >> 16));
}

void AppendBytes(std::vector<std::uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

std::string RawDeflate(const std::string& data) {
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, data.size()), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

}  // namespace

ZipWriter& ZipWriter::Add(ZipEntryRecipe entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

ZipWriter& ZipWriter::Add(std::string name, std::string data, std::uint16_t method) {
    ZipEntryRecipe entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    entry.method = method;
    return Add(std::move(entry));
}

ZipWriter& ZipWriter::SetComment(std::string comment) {
    comment_ = std::move(comment);
    return *this;
}

ZipImage ZipWriter::Build() const {
    ZipImage image;
    std::vector<std::uint8_t>& out = image.bytes;
    std::vector<std::uint8_t> directory;
    for (const ZipEntryRecipe& e : entries_) {
        std::string payload = e.method == 8 ? RawDeflate(e.data) : e.data;
        std::uint16_t method = e.method;
        if (method == 8 && e.storeWhenSmaller && payload.size() >= e.data.size()) {
            payload = e.data;
            method = 0;
        }
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const auto packed = static_cast<std::uint32_t>(payload.size());
        const auto raw = static_cast<std::uint32_t>(e.data.size());
        const std::uint16_t flags = e.dataDescriptor ? 0x0008 : 0;
        const auto offset = static_cast<std::uint32_t>(out.size());
        image.localHeaderOffsets.push_back(out.size());

        AppendU32(out, 0x04034b50u);
        AppendU16(out, 20);
        AppendU16(out, flags);
        AppendU16(out, method);
        AppendU16(out, 0);       // time
        AppendU16(out, 0x0021);  // date: 1980-01-01
        AppendU32(out, e.dataDescriptor ? 0 : crc);
        AppendU32(out, e.dataDescriptor ? 0 : packed);
        AppendU32(out, e.dataDescriptor ? 0 : raw);
        AppendU16(out, static_cast<std::uint16_t>(e.name.size()));
        AppendU16(out, static_cast<std::uint16_t>(e.localExtra.size()));
        AppendBytes(out, e.name);
        AppendBytes(out, e.localExtra);
        AppendBytes(out, payload);
        if (e.dataDescriptor) {
            AppendU32(out, 0x08074b50u);
            AppendU32(out, crc);
            AppendU32(out, packed);
            AppendU32(out, raw);
        }

        AppendU32(directory, 0x02014b50u);
        AppendU16(directory, 20);  // made by
        AppendU16(directory, 20);  // needed
        AppendU16(directory, flags);
        AppendU16(directory, method);
        AppendU16(directory, 0);
        AppendU16(directory, 0x0021);
        AppendU32(directory, crc);
        AppendU32(directory, packed);
        AppendU32(directory, raw);
        AppendU16(directory, static_cast<std::uint16_t>(e.name.size()));
        AppendU16(directory, 0);  // extra
        AppendU16(directory, 0);  // comment
        AppendU16(directory, 0);  // disk
        AppendU16(directory, 0);  // internal attributes
        AppendU32(directory, 0);  // external attributes
        AppendU32(directory, offset);
        AppendBytes(directory, e.name);
    }

    image.directoryOffset = out.size();
    out.insert(out.end(), directory.begin(), directory.end());
    image.endRecordOffset = out.size();
    AppendU32(out, 0x06054b50u);
    AppendU16(out, 0);
    AppendU16(out, 0);
    AppendU16(out, static_cast<std::uint16_t>(entries_.size()));
    AppendU16(out, static_cast<std::uint16_t>(entries_.size()));
    AppendU32(out, static_cast<std::uint32_t>(directory.size()));
    AppendU32(out, static_cast<std::uint32_t>(image.directoryOffset));
    AppendU16(out, static_cast<std::uint16_t>(comment_.size()));
    AppendBytes(out, comment_);
    return image;
}

bool BuildDataArchive(std::vector<std::pair<std::string, std::string>> files, ZipImage& out, std::string& error) {
    constexpr std::size_t kMaxU16 = std::numeric_limits<std::uint16_t>::max();
    auto folded = [](std::string name) {
        for (char& c : name) {
            if (c == '\\') c = '/';
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return name;
    };
    for (auto& file : files) std::replace(file.first.begin(), file.first.end(), '\\', '/');
    std::stable_sort(files.begin(), files.end(),
                     [&](const auto& a, const auto& b) { return folded(a.first) < folded(b.first); });
    if (files.size() > kMaxU16) {
        error = "more than 65535 entries";
        return false;
    }
    std::uint64_t total = 22;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& name = files[i].first;
        if (name.empty() || name.size() > kMaxU16) {
            error = "entry name \"" + name.substr(0, 64) + "\" is empty or too long";
            return false;
        }
        if (i > 0 && folded(files[i - 1].first) == folded(name)) {
            error = "\"" + files[i - 1].first + "\" and \"" + name + "\" differ only in case";
            return false;
        }
        // Stored size bounds the entry, since a deflated one is only kept when smaller.
        total += 30 + 46 + 2 * std::uint64_t{name.size()} + files[i].second.size();
    }
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        error = "the archive would pass 4 GiB";
        return false;
    }
    ZipWriter writer;
    for (auto& [name, data] : files) {
        ZipEntryRecipe entry;
        entry.name = std::move(name);
        entry.data = std::move(data);
        entry.storeWhenSmaller = true;
        writer.Add(std::move(entry));
    }
    out = writer.Build();
    return true;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return GetU16(bytes, offset) | (std::uint32_t{GetU16(bytes, offset + 2)} << 16);
}

}  // namespace testsupport
