#include "shared/platform/BundleSeal.h"

#include "shared/Paths.h"
#include "shared/PosixError.h"

#include <openssl/evp.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string hex(const unsigned char* bytes, size_t size)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
    }
    return out;
}

std::optional<std::string> sha256(std::istream& in)
{
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    EVP_DigestFinal_ex(context.get(), digest, &size);
    return std::string(reinterpret_cast<char*>(digest), size);
}

// What the seal records of one file: "<mode> <sha256> <relative path>", or nothing when the
// file cannot be sealed (unreadable, a name with a line break, a link leading out).
std::optional<std::string> describe(const fs::path& bundle, const fs::path& file)
{
    const std::string relative = file.lexically_relative(bundle).string();
    struct stat st;
    if (relative.find('\n') != std::string::npos || lstat(file.c_str(), &st) != 0)
        return std::nullopt;
    std::optional<std::string> digest;
    if (S_ISLNK(st.st_mode)) {
        const fs::path target = fs::read_symlink(file);
        const std::string resolved = Paths::standardized((target.is_absolute() ? target : file.parent_path() / target).string());
        if (!(resolved == bundle.string() || resolved.rfind(bundle.string() + "/", 0) == 0))
            return std::nullopt;
        std::istringstream in(target.string());
        digest = sha256(in);
    } else if (S_ISREG(st.st_mode)) {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        digest = sha256(in);
    } else {
        return std::nullopt;
    }
    if (!digest)
        return std::nullopt;
    char mode[16];
    std::snprintf(mode, sizeof mode, "%o", st.st_mode & 07777);
    return std::string(mode) + " " + hex(reinterpret_cast<const unsigned char*>(digest->data()), digest->size()) + " "
           + relative;
}

// The seal text the bundle would have now, or nothing when some file cannot be sealed.
std::optional<std::string> sealOf(const std::string& bundlePath)
{
    const fs::path bundle = Paths::standardized(bundlePath);
    std::map<std::string, std::string> lines;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(bundle, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            continue;
        const std::string relative = it->path().lexically_relative(bundle).string();
        if (relative == BundleSeal::sealPath)
            continue;
        auto line = describe(bundle, it->path());
        if (!line)
            return std::nullopt;
        lines.emplace(relative, std::move(*line));
    }
    if (error)
        return std::nullopt;
    std::string seal;
    for (const auto& [relative, line] : lines)
        seal += line + "\n";
    return seal;
}

std::optional<std::string> readSeal(const std::string& bundle)
{
    std::ifstream in(fs::path(bundle) / BundleSeal::sealPath, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}

namespace BundleSeal {

void write(const std::string& bundle)
{
    const fs::path seal = fs::path(bundle) / sealPath;
    std::error_code error;
    fs::remove(seal, error);
    const auto text = sealOf(bundle);
    if (!text)
        throw PosixError(EINVAL);
    fs::create_directories(seal.parent_path());
    std::ofstream(seal, std::ios::binary | std::ios::trunc) << *text;
}

bool valid(const std::string& bundle)
{
    const auto recorded = readSeal(bundle);
    const auto actual = sealOf(bundle);
    return recorded && actual && *recorded == *actual;
}

std::optional<std::string> digest(const std::string& bundle)
{
    std::ifstream in(fs::path(bundle) / sealPath, std::ios::binary);
    if (!in)
        return std::nullopt;
    return sha256(in);
}

}
