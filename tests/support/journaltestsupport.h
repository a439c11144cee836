// A fresh temporary folder per test, removed afterwards, and whole-file
// reading and writing for the journal tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tramelo-record-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::filesystem::path dir;
};

inline std::string readBytes(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

/// A race folder \a name under \a racesDir holding \a journal.
inline std::filesystem::path writeRaceFolder(const std::filesystem::path &racesDir, const std::string &name,
                                             const std::string &journal)
{
    const std::filesystem::path folder = racesDir / name;
    std::filesystem::create_directory(folder);
    writeBytes(folder / "journal.jsonl", journal);
    return folder;
}
