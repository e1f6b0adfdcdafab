#include "worker/FolderReader.h"

#include "shared/DiskScope.h"
#include "shared/Paths.h"
#include "worker/Failure.h"
#include "worker/FolderNode.h"
#include "worker/Policy.h"
#include "worker/Refusal.h"
#include "worker/Walk.h"

#include <cerrno>

namespace {

void appendComponent(std::string& path, std::string_view name)
{
    if (path != "/")
        path += '/';
    path.append(name);
}

// Drops the reference a waiting folder holds on its parent, unless it was handed on.
struct ParentReference {
    FolderNode* node;
    ~ParentReference() { FolderNode::release(node); }
};

}

FolderReader::FolderReader(Walk& walk) : walk_(walk), listing_(FolderListing::Order::inode)
{
    folderPath_.reserve(4096);
}

void FolderReader::run()
{
    PendingFolder folder;
    while (walk_.stack().take(folder)) {
        try {
            read(folder);
        } catch (...) {
            walk_.fail(std::current_exception());
        }
        walk_.stack().finished();
    }
}

void FolderReader::read(const PendingFolder& folder)
{
    ParentReference parent {folder.parent};
    setFolderPath(folder);
    try {
        walk_.checkScope();
        if (walk_.settings().beforeOpen)
            walk_.settings().beforeOpen(folderPath_);
    } catch (...) {
        walk_.abandon(folder);
        throw;
    }
    int error = 0;
    UniqueFd fd = walk_.open(folder, error);
    if (!fd && Refusal::ofTheCall(error))
        throw Failure("Cannot read the folder: "
                      + Refusal::cause("openat2", walk_.scope().visible(folderPath_), error) + ".");
    if (!fd) {
        // A folder that became a mount point since it was examined is passed over.
        if (error != EXDEV)
            ++errors_;
        flush();
        return;
    }
    const auto opened = FileStatus::ofDescriptor(fd.get());
    if (!opened || !walk_.isExamined(*opened, folder.inode))
        return;
    if (!folder.parent && !walk_.scope().allows(folderPath_, *opened)) {
        ++errors_;
        flush();
        return;
    }
    if (!walk_.firstRead(folder.inode))
        return;
    list(fd.get());
    flush();
    if (subfolders_.empty())
        return;
    handOver(folder, fd);
    parent.node = nullptr;
}

// Builds the folder's path from the path built last: only the part below the nearest
// ancestor the two share is rebuilt.
void FolderReader::setFolderPath(const PendingFolder& folder)
{
    climb_.clear();
    const FolderNode* shared = folder.parent;
    while (shared && !(shared->depth() < chain_.size() && chain_[shared->depth()] == shared->serial())) {
        climb_.push_back(shared);
        shared = shared->up();
    }
    chain_.resize(shared ? shared->depth() + 1 : 0);
    folderPath_.resize(shared ? shared->pathLength() : 0);
    for (auto node = climb_.rbegin(); node != climb_.rend(); ++node) {
        if (chain_.empty())
            folderPath_.assign((*node)->name());
        else
            appendComponent(folderPath_, (*node)->name());
        chain_.push_back((*node)->serial());
    }
    if (folder.parent)
        appendComponent(folderPath_, folder.name);
    else
        folderPath_.assign(folder.name);
    folderLength_ = folderPath_.size();
    setProvider(folder);
}

// Whether the folder lies in a cloud-provider folder, from its parent's verdict: only a scan
// root goes over its whole path.
void FolderReader::setProvider(const PendingFolder& folder)
{
    if (!folder.parent) {
        folderName_ = Paths::lastComponent(folder.name);
        inProvider_ = DiskScope::provider(walk_.scope().visible(folderPath_));
        return;
    }
    folderName_ = folder.name;
    const FolderNode& parent = *folder.parent;
    const std::string_view parentName = parent.up() ? parent.name() : Paths::lastComponent(parent.name());
    inProvider_ = DiskScope::providerChild(parent.inProvider(), parentName, folder.name);
}

// Each entry's path is the folder's with the name appended in place, and cut back after the
// listing, so that no entry copies the folder's path, however long it is.
void FolderReader::list(int fd)
{
    subfolders_.clear();
    subfolderNames_.clear();
    mayHoldVolumes_ = folderPath_ == "/" || folderPath_ == "/System";
    if (folderPath_ != "/")
        folderPath_ += '/';
    entryBase_ = folderPath_.size();
    while (!walk_.stopped() && listing_.next(fd))
        for (const FolderListing::Entry& entry : listing_.batch())
            examine(fd, entry);
    folderPath_.resize(folderLength_);
    if (listing_.error())
        ++errors_;
}

void FolderReader::examine(int fd, const FolderListing::Entry& entry)
{
    folderPath_.resize(entryBase_);
    folderPath_.append(entry.name, entry.length);
    const std::string_view entryPath = folderPath_;
    if (mayHoldVolumes_ && DiskScope::leadsToOtherVolumes(entryPath))
        return;
    const auto st = FileStatus::at(fd, entry.name);
    if (!st) {
        ++errors_;
        return;
    }
    // Another device or another mount (a bind mount shares the device) is never entered.
    if (st->device != walk_.rootDevice() || st->mountId != walk_.rootMount()
        || !walk_.scope().allows(entryPath, *st, DiskScope::providerChild(inProvider_, folderName_, entry.view())))
        return;
    ++entries_;
    if (st->isDirectory()) {
        subfolders_.push_back({subfolderNames_.size(), entry.length, st->inode});
        subfolderNames_.append(entry.name, entry.length + 1);
    } else if (st->isRegular()) {
        rank(fd, *st, entry.view());
    }
    if (entries_ == ScanProgress::step)
        flush();
}

void FolderReader::rank(int fd, const FileStatus& st, std::string_view name)
{
    ++files_;
    const std::string_view path = folderPath_;
    const unsigned accepting = ranking_.acceptingFile(name, st.size, path);
    if (!accepting)
        return;
    ranking_.add(accepting, {std::string(path), st.size, Stamp::of(st), Worker::mode(walk_.scope(), path, st, fd)});
}

// Makes the read folder the parent of its subfolders and puts them on the walk's stack, in
// listing order; it keeps its descriptor for them while the budget allows.
void FolderReader::handOver(const PendingFolder& folder, UniqueFd& fd)
{
    auto* node = new FolderNode(folder.parent, folder.name, folderPath_.size(), folder.inode, walk_.nextSerial(),
                                inProvider_, subfolderNames_, subfolders_.size());
    walk_.budget().keepNewest(*node, fd);
    handed_.clear();
    for (const Subfolder& subfolder : subfolders_)
        handed_.push_back({node, std::string_view(node->childNames() + subfolder.nameOffset, subfolder.nameLength),
                           subfolder.inode});
    walk_.stack().push(handed_.data(), handed_.size());
}

void FolderReader::flush()
{
    walk_.progress().add(entries_, files_, errors_, std::string_view(folderPath_).substr(0, folderLength_));
    entries_ = files_ = errors_ = 0;
}
