#pragma once

#include <string>

// Small file-system helpers for building test trees.
namespace Files {
// Creates the file and every missing parent folder; the content is size bytes of 'x'.
void make(const std::string& path, size_t size = 0);
void makeFolder(const std::string& path);
// folders × files empty files, quickly: enough entries to keep a scan busy for a while.
void makeTree(const std::string& root, int folders, int files);
void write(const std::string& path, const std::string& content);
std::string read(const std::string& path);
bool exists(const std::string& path);
}
