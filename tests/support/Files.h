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
// A chain of `levels` folders named `name` below `base`, made through descriptors so that its
// path may be longer than PATH_MAX, with a file of `size` bytes named `file` at its bottom
// when given. Returns the chain's path below base.
std::string makeDeep(const std::string& base, const std::string& name, int levels, const std::string& file = {},
                     size_t size = 0);
// Removes a folder tree of any depth.
void removeDeep(const std::string& path);
}
