#pragma once
// A temporary base folder for the data-file tests: loose files and archives written into it, the base
// folder pointed at it, and the process-wide folder and archive state put back afterwards.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/posix_zip_archive.h"
#include "support/temp_folder.h"
#include "support/zip_writer.h"

namespace datatest {

class DataFileTest : public ::testing::Test {
protected:
    DataFileTest() {
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
    }
    ~DataFileTest() override {
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow("");
    }

    // Writes a file under the base folder (sub-folders made as needed).
    void Put(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(folder_.Write(name, bytes.data(), bytes.size())) << name;
    }
    void PutZip(const std::string& name, const testsupport::ZipWriter& writer) {
        const testsupport::ZipImage image = writer.Build();
        ASSERT_TRUE(folder_.Write(name, image.bytes.data(), image.bytes.size())) << name;
    }
    // Opens an archive of the base folder into the test's own set and makes that set the active one.
    void Mount(const std::string& name) {
        auto archive = std::make_unique<engine::PosixZipArchive>();
        ASSERT_EQ(archive->Open(File(name)), 1) << name;
        ASSERT_TRUE(set_.Mount(std::move(archive), name));
        engine::SetActiveArchiveSet(&set_);
    }

    std::string File(const std::string& name) const { return folder_.File(name); }
    // The bytes of a file on disk, or nothing when it does not open.
    std::optional<std::string> Contents(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    testsupport::TempFolder folder_;
    engine::ArchiveSet set_;
};

}  // namespace datatest
