// A fresh directory per test for the files it writes, removed afterwards, plus small file
// helpers shared by the asset tests.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dral::testing {

class ScratchDir : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("tesserine-assets-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        std::filesystem::current_path(root);
    }
    void TearDown() override {
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(root);
    }

    static void WriteFile(const std::string& name, const std::string& content) {
        std::ofstream(name, std::ios::binary) << content;
    }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path root;
};

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

} // namespace dral::testing
