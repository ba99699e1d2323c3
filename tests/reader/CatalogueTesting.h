// Helpers of the catalogue-reader tests: problems of a text, and scratch files.
#pragma once

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace reader_testing {

namespace Reader = Orv::Pim::Core::Service::Units::Reader;

/// The problems that refuse `text`, read under the name `source`; empty when it is read.
inline std::vector<Reader::CatalogueProblem> ProblemsOf(const std::string& text,
                                                        const std::string& source = "test.xml") {
    try {
        Reader::XmlUnitReader::FromText(text, source);
    } catch (const Reader::CatalogueError& error) {
        return error.Problems();
    }
    return {};
}

/// A new empty directory for the running test, under GoogleTest's scratch directory.
inline std::string ScratchDirectory() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path path =
        std::filesystem::path(::testing::TempDir()) /
        (std::string("orv_reader_") + test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path.string();
}

/// Writes `text` to the file `path`, replacing it.
inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    ASSERT_TRUE(file.good()) << path;
}

} // namespace reader_testing
