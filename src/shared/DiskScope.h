#pragma once

#include "shared/platform/FileStatus.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The disk or folder a session works on, with the rules that decide which entries belong
// to it, how a path is shown and what may ever be offered for deletion.
class DiskScope {
public:
    static constexpr std::string_view startupData = "/System/Volumes/Data";
    // The folder that holds the users' home folders.
    static constexpr std::string_view usersFolder = "/home";

    // Throws ScopeError, PosixError or the data folder's TrashProblem.
    DiskScope(const std::string& root, bool cloud, const std::string& data, bool readOnly = false);

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool value) { readOnly_ = value; }
    const std::string& root() const { return root_; }
    const std::string& name() const { return name_; }
    bool cloud() const { return cloud_; }
    const std::string& data() const { return data_; }
    int32_t device() const { return device_; }
    uint64_t inode() const { return inode_; }
    std::optional<int32_t> startupDataDevice() const { return startupDataDevice_; }

    bool valid() const;
    std::vector<std::string> roots() const;
    std::string capacityPath() const;
    std::string reports() const;
    std::string savedViews() const;
    std::string_view visible(std::string_view path) const;
    bool allows(std::string_view path, const FileStatus& st) const;
    // The same for an entry whose place in a cloud-provider folder is already known, so that a
    // walk judges each entry without going over every component of its path again.
    bool allows(std::string_view path, const FileStatus& st, bool inProvider) const;
    bool deletable(std::string_view path) const;

    static bool inside(std::string_view path, std::string_view folder);
    // The folders where other volumes are mounted; neither is ever listed nor walked.
    static bool leadsToOtherVolumes(std::string_view path);
    static bool provider(std::string_view path);
    // provider() of the entry `name` in a folder whose provider() is `folderInProvider` and
    // whose own name is `folderName`.
    static bool providerChild(bool folderInProvider, std::string_view folderName, std::string_view name);
    static std::optional<FileStatus> info(const std::string& path);

    nlohmann::json toJson() const;
    // Strict: every key but startupDataDevice, with exactly its type. Throws DecodingError.
    static DiskScope fromJson(const nlohmann::json& json);
    std::string toBase64() const;
    // Throws DecodingError for text that is not Base64 of a scope's JSON.
    static DiskScope fromBase64(std::string_view text);

    friend bool operator==(const DiskScope&, const DiskScope&) = default;

private:
    DiskScope() = default;
    bool withStartupData() const;

    bool readOnly_ = false;
    std::string root_;
    std::string name_;
    bool cloud_ = false;
    std::string data_;
    int32_t device_ = 0;
    uint64_t inode_ = 0;
    std::optional<int32_t> startupDataDevice_;
};
