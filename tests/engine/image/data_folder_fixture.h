#pragma once
// A temporary base folder for tests that read and write data files: no archives, so the data folder is
// "<base>/Data/PC/". The process-wide folder state is put back afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "support/temp_folder.h"

namespace rendertest {

class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
    }
    ~DataFolderTest() override { engine::SetBaseFolderNarrow(""); }

    // Writes a file under the data folder, making its folders.
    void Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(folder_.Write("Data/PC/" + name, bytes.data(), bytes.size())) << name;
    }
    void MakeFolder(const std::string& name) { std::filesystem::create_directories(DataPath() / name); }
    std::filesystem::path DataPath() const { return folder_.Path() / "Data" / "PC"; }
    // The names in a folder of the data folder, as they are on disk.
    std::set<std::string> Names(const std::string& folder = "") const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(DataPath() / folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    testsupport::TempFolder folder_;
};

}  // namespace rendertest
