#include "Files.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace Files {

void make(const std::string& path, size_t size)
{
    write(path, std::string(size, 'x'));
}

void makeFolder(const std::string& path)
{
    std::filesystem::create_directories(path);
}

void makeTree(const std::string& root, int folders, int files)
{
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "/d" + std::to_string(f);
        makeFolder(folder);
        for (int i = 0; i < files; ++i)
            close(open((folder + "/f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
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
