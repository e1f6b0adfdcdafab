#include "Files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace Files {

void make(const std::string& path, size_t size)
{
    write(path, std::string(size, 'x'));
}

void makeFolder(const std::string& path)
{
    std::filesystem::create_directories(path);
}

void write(const std::string& path, const std::string& content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

}
