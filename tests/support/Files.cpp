#include "Files.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
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

std::string makeDeep(const std::string& base, const std::string& name, int levels, const std::string& file, size_t size)
{
    makeFolder(base);
    int folder = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string relative;
    for (int level = 0; level < levels && folder >= 0; ++level) {
        mkdirat(folder, name.c_str(), 0755);
        const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        close(folder);
        folder = next;
        relative += (relative.empty() ? "" : "/") + name;
    }
    if (folder < 0)
        throw std::runtime_error("cannot make " + base + "/" + relative);
    if (!file.empty()) {
        const int out = openat(folder, file.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        const std::string content(size, 'x');
        const bool written = out >= 0 && ::write(out, content.data(), size) == static_cast<ssize_t>(size);
        close(out);
        if (!written)
            throw std::runtime_error("cannot write " + file);
    }
    close(folder);
    return relative;
}

void removeDeep(const std::string& path)
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot remove " + path);
}

}
