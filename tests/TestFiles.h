// Small file helpers shared by the tests that write and read real files.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Writes BYTES as the file at PATH, making its folders first.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
