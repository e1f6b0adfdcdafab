#pragma once

// Shared helpers of the black-box tests of the built `delver`: a scope tree and a data folder
// of their own inside the test home, runs of the real worker, and readers of its output.

#include "Files.h"
#include "TestHome.h"
#include "WorkerRun.h"
#include "shared/Base64.h"
#include "shared/DiskScope.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace harness {

using nlohmann::json;

inline const std::vector<std::string> fixedTexts = {
    "Choose a target disk first.",          "Target disk is unavailable or has changed.",
    "This action requires Active Mode.",    "Unknown operation.",
    "Invalid request.",                     "Scan report unavailable.",
    "Cannot open scan report.",             "Invalid scan report.",
};

inline const std::string placementRefused
    = "Choose Applications or an ordinary folder in your home folder for installation, and a personal folder for reports.";
inline const std::string occupied = "A file, link, or package occupies this location. Setup stopped.";

// A folder of the test's own in the home folder (or inside `parent`), holding the scope root
// "root" and the data folder "data". Removed at the end, with flags lifted and mounts undone.
class Case {
public:
    explicit Case(const std::string& parent = TestHome::path())
    {
        std::filesystem::create_directories(parent);
        std::string pattern = parent + "/case-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        base = pattern;
        root = base + "/root";
        data = base + "/data";
        Files::makeFolder(root);
    }
    ~Case()
    {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            umount2(it->c_str(), MNT_DETACH);
        const std::string unlock = "chattr -R -i -a '" + base + "' >/dev/null 2>&1";
        if (std::system(unlock.c_str()) != 0) {
        }
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
    }
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    std::string at(const std::string& relative) const { return root + "/" + relative; }
    std::string reports() const { return data + "/Reports"; }
    std::string scope(bool readOnly = false) const { return DiskScope(root, false, data, readOnly).toBase64(); }
    // The scope's JSON, for tests that need a record the initializer would refuse.
    json scopeJson(bool readOnly = false) const { return DiskScope(root, false, data, readOnly).toJson(); }

    std::string base, root, data;
    std::vector<std::string> mounts;
};

inline std::string encode(const json& scope) { return Base64::encode(scope.dump()); }

inline WorkerRun run(const std::string& operation, const std::string& scope, const std::string& input = {},
                     const std::string& program = DELVER)
{
    return WorkerRun::of(program, {operation, scope}, input);
}

// A run whose writes to regular files stop at `bytes` (RLIMIT_FSIZE, with SIGXFSZ ignored so
// that a write beyond it fails with EFBIG): the file system refuses, not the worker.
inline WorkerRun runLimited(size_t bytes, const std::string& operation, const std::string& scope,
                            const std::string& input = {}, const std::string& program = DELVER)
{
    return WorkerRun::of("/bin/sh",
                         {"-c", "trap '' XFSZ; exec prlimit --fsize=" + std::to_string(bytes) + " \"$0\" \"$@\"",
                          program, operation, scope},
                         input);
}

// The text after the last line feed of the output: the result object.
inline std::string resultText(const std::string& out)
{
    const size_t feed = out.rfind('\n');
    return feed == std::string::npos ? out : out.substr(feed + 1);
}

// The progress lines before the result, each without its line feed.
inline std::vector<std::string> progressLines(const std::string& out)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t feed; (feed = out.find('\n', start)) != std::string::npos; start = feed + 1)
        lines.push_back(out.substr(start, feed - start));
    return lines;
}

// A run that failed with exactly this text, framed as the protocol requires.
inline void expectFailure(const WorkerRun& run, const std::string& text)
{
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, text);
    EXPECT_EQ(resultText(run.out), "") << "no result may follow a failure: " << run.out;
}

// A failure whose text comes from a parser or decoder: one sentence of its own, no line feed.
inline void expectOwnDescription(const WorkerRun& run)
{
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), std::string::npos) << run.err;
    EXPECT_EQ(std::count(fixedTexts.begin(), fixedTexts.end(), run.err), 0) << run.err;
}

inline json succeeded(const WorkerRun& run)
{
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return json::parse(resultText(run.out));
}

inline json scanned(const Case& c, bool readOnly = false)
{
    return succeeded(run("scan", c.scope(readOnly)));
}

inline const json* rowOf(const json& result, const std::string& raw)
{
    for (const json& row : result.at("rows"))
        if (row.at("raw") == raw)
            return &row;
    return nullptr;
}

inline std::vector<std::string> groupsOf(const json& result, const std::string& raw)
{
    const json* row = rowOf(result, raw);
    return row ? row->at("groups").get<std::vector<std::string>>() : std::vector<std::string> {"(not ranked)"};
}

inline std::set<std::string> files(const std::string& folder)
{
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

inline void shell(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

inline std::string shellQuoted(const std::string& path) { return "'" + path + "'"; }

// The stamp of a file (device, inode, size, mtime and ctime), computed here with plain lstat.
inline std::vector<std::string> stampOf(const std::string& path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return {};
    const auto device = static_cast<int32_t>((major(st.st_dev) << 20) | minor(st.st_dev));
    return {std::to_string(device),           std::to_string(st.st_ino),          std::to_string(st.st_size),
            std::to_string(st.st_mtim.tv_sec), std::to_string(st.st_mtim.tv_nsec), std::to_string(st.st_ctim.tv_sec),
            std::to_string(st.st_ctim.tv_nsec)};
}

}
