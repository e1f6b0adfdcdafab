#include "shared/DiskScope.h"

#include "shared/Base64.h"
#include "shared/DecodingError.h"
#include "shared/InstallSafety.h"
#include "shared/JsonFields.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/ScopeError.h"
#include "shared/Wire.h"
#include "shared/platform/FileFlags.h"
#include "shared/platform/Volumes.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

constexpr std::array<std::string_view, 14> packageSuffixes = {
    ".pkg", ".mpkg", ".plugin", ".kext", ".appex", ".xpc", ".app",
    ".framework", ".bundle", ".photoslibrary", ".pvm", ".utm", ".vmwarevm", ".sparsebundle",
};

// Strictly below root: root + "/" as prefix, or any absolute path for root "/".
bool strictlyBelow(std::string_view path, std::string_view root)
{
    if (root == "/")
        return path.starts_with("/") && path.size() > 1;
    return path.size() > root.size() + 1 && path.starts_with(root) && path[root.size()] == '/';
}

bool nameForbidsDeletion(std::string_view component)
{
    const std::string name = Paths::lowercased(component);
    if (name.front() == '.' || name == "applications" || name == "system")
        return true;
    for (std::string_view suffix : packageSuffixes)
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    return false;
}

std::string volumeNameFor(const std::string& root)
{
    std::string volume;
    std::string label;
    try {
        const Mount mount = Volumes::containing(root);
        volume = Paths::standardized(mount.mountPoint);
        label = Volumes::label(mount);
    } catch (const Problem&) {
        // An unanswered volume query counts as no values.
    }
    if ((root == "/" || volume == root) && !label.empty())
        return label;
    return std::string(Paths::lastComponent(root));
}

}

DiskScope::DiskScope(const std::string& root, bool cloud, const std::string& data, bool readOnly)
{
    InstallSafety::validate(data, true);
    char resolved[PATH_MAX];
    if (!realpath(root.c_str(), resolved))
        throw PosixError(errno);
    const std::string path = resolved;
    const auto st = FileStatus::of(path);
    if (!st || !st->isDirectory())
        throw ScopeError(ScopeError::unavailable);
    Mount mount;
    try {
        mount = Volumes::containing(path);
    } catch (const Problem&) {
        throw ScopeError(ScopeError::needsCloud);
    }
    if (!cloud && (!mount.local() || provider(path) || (st->flags & FileFlags::dataless)))
        throw ScopeError(ScopeError::needsCloud);
    if (const auto startup = FileStatus::of(std::string(startupData)))
        startupDataDevice_ = startup->device;
    readOnly_ = readOnly;
    root_ = path;
    name_ = volumeNameFor(path);
    cloud_ = cloud;
    data_ = Paths::standardized(data);
    device_ = st->device;
    inode_ = st->inode;
}

bool DiskScope::valid() const
{
    const auto st = FileStatus::of(root_);
    return st && st->device == device_ && st->inode == inode_;
}

// The startup data volume joins the whole disk only where the system has one.
bool DiskScope::withStartupData() const
{
    return root_ == "/" && startupDataDevice_.has_value();
}

std::vector<std::string> DiskScope::roots() const
{
    if (withStartupData())
        return {"/", std::string(startupData)};
    return {root_};
}

std::string DiskScope::capacityPath() const
{
    return withStartupData() ? std::string(startupData) : root_;
}

std::string DiskScope::reports() const
{
    return Paths::child(data_, "Reports");
}

std::string DiskScope::savedViews() const
{
    return Paths::child(data_, "Saved Views");
}

std::string_view DiskScope::visible(std::string_view path) const
{
    if (root_ == "/" && path.size() > startupData.size() && path.starts_with(startupData)
        && path[startupData.size()] == '/')
        return path.substr(startupData.size());
    return path;
}

bool DiskScope::allows(std::string_view path, const FileStatus& st) const
{
    return allows(path, st, !cloud_ && provider(visible(path)));
}

bool DiskScope::allows(std::string_view path, const FileStatus& st, bool inProvider) const
{
    const std::string_view p = visible(path);
    if (p != root_ && !strictlyBelow(p, root_))
        return false;
    const bool sameDisk = st.device == device_ || (root_ == "/" && startupDataDevice_ && st.device == *startupDataDevice_);
    if (!sameDisk)
        return false;
    if (cloud_)
        return true;
    return !inProvider && !(st.flags & FileFlags::dataless);
}

bool DiskScope::deletable(std::string_view path) const
{
    const std::string_view p = visible(path);
    if (p == root_ || !strictlyBelow(p, root_))
        return false;
    for (const std::string& folder : {reports(), savedViews()})
        if (inside(p, folder) || inside(folder, p))
            return false;
    // The cache folder is hidden itself; only the names below it are judged.
    const std::string cache = InstallSafety::cacheFolder();
    const std::string_view judged = p.size() > cache.size() && inside(p, cache) ? p.substr(cache.size()) : p;
    bool forbidden = false;
    Paths::forEachComponent(judged, [&](std::string_view component) {
        forbidden = nameForbidsDeletion(component);
        return !forbidden;
    });
    return !forbidden;
}

bool DiskScope::inside(std::string_view path, std::string_view folder)
{
    if (path == folder)
        return true;
    if (folder == "/")
        return path.starts_with("/");
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

bool DiskScope::leadsToOtherVolumes(std::string_view path)
{
    return path == "/Volumes" || path == "/System/Volumes";
}

bool DiskScope::provider(std::string_view path)
{
    bool afterLibrary = false;
    bool found = false;
    Paths::forEachComponent(path, [&](std::string_view component) {
        found = afterLibrary && (component == "CloudStorage" || component == "Mobile Documents");
        afterLibrary = component == "Library";
        return !found;
    });
    return found;
}

bool DiskScope::providerChild(bool folderInProvider, std::string_view folderName, std::string_view name)
{
    return folderInProvider || (folderName == "Library" && (name == "CloudStorage" || name == "Mobile Documents"));
}

std::optional<FileStatus> DiskScope::info(const std::string& path)
{
    return FileStatus::of(path);
}

nlohmann::json DiskScope::toJson() const
{
    nlohmann::json json = {
        {"readOnly", readOnly_}, {"root", root_}, {"name", name_}, {"cloud", cloud_},
        {"data", data_}, {"device", device_}, {"inode", inode_},
    };
    if (startupDataDevice_)
        json["startupDataDevice"] = *startupDataDevice_;
    return json;
}

DiskScope DiskScope::fromJson(const nlohmann::json& json)
{
    using namespace JsonFields;
    object(json);
    DiskScope scope;
    scope.readOnly_ = boolean(json, "readOnly");
    scope.root_ = string(json, "root");
    scope.name_ = string(json, "name");
    scope.cloud_ = boolean(json, "cloud");
    scope.data_ = string(json, "data");
    scope.device_ = integer<int32_t>(json, "device");
    scope.inode_ = integer<uint64_t>(json, "inode");
    if (optional(json, "startupDataDevice"))
        scope.startupDataDevice_ = integer<int32_t>(json, "startupDataDevice");
    return scope;
}

std::string DiskScope::toBase64() const
{
    return Base64::encode(Wire::serialize(toJson()));
}

DiskScope DiskScope::fromBase64(std::string_view text)
{
    const auto bytes = Base64::decode(text);
    if (!bytes)
        throw DecodingError("The text is not Base64.");
    return fromJson(Wire::parse(*bytes));
}
