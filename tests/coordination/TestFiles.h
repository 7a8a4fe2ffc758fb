#pragma once
// Reading and writing the exact bytes of real files, for the coordination tests.

#include <string>

namespace vantik::test {

bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes as they are on disk; "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);

std::string WithSlashes(std::string path);

// Replaces every occurrence of key by value.
std::string Expand(std::string text, const std::string& key, const std::string& value);

}  // namespace vantik::test
