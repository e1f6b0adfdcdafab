#include "worker/FolderReader.h"

#include "shared/DiskScope.h"
#include "worker/FolderNode.h"
#include "worker/Policy.h"
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
    entryPath_.reserve(4096);
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
}

void FolderReader::list(int fd)
{
    subfolders_.clear();
    subfolderNames_.clear();
    entryPath_.assign(folderPath_);
    if (entryPath_ != "/")
        entryPath_ += '/';
    entryBase_ = entryPath_.size();
    mayHoldVolumes_ = folderPath_ == "/" || folderPath_ == "/System";
    while (!walk_.stopped() && listing_.next(fd))
        for (const FolderListing::Entry& entry : listing_.batch())
            examine(fd, entry);
    if (listing_.error())
        ++errors_;
}

void FolderReader::examine(int fd, const FolderListing::Entry& entry)
{
    entryPath_.resize(entryBase_);
    entryPath_.append(entry.name, entry.length);
    if (mayHoldVolumes_ && DiskScope::leadsToOtherVolumes(entryPath_))
        return;
    const auto st = FileStatus::at(fd, entry.name);
    if (!st) {
        ++errors_;
        return;
    }
    // Another device or another mount (a bind mount shares the device) is never entered.
    if (st->device != walk_.rootDevice() || st->mountId != walk_.rootMount() || !walk_.scope().allows(entryPath_, *st))
        return;
    ++entries_;
    if (st->isDirectory()) {
        subfolders_.push_back({subfolderNames_.size(), entry.length, st->inode});
        subfolderNames_.append(entry.name, entry.length + 1);
    } else if (st->isRegular()) {
        rank(*st, entry.view());
    }
    if (entries_ == ScanProgress::step)
        flush();
}

void FolderReader::rank(const FileStatus& st, std::string_view name)
{
    ++files_;
    const unsigned accepting = ranking_.acceptingFile(name, st.size, entryPath_);
    if (!accepting)
        return;
    ranking_.add(accepting, {entryPath_, st.size, Stamp::of(st), Worker::mode(walk_.scope(), entryPath_, st)});
}

// Makes the read folder the parent of its subfolders and puts them on the walk's stack, in
// listing order; it keeps its descriptor for them while the budget allows.
void FolderReader::handOver(const PendingFolder& folder, UniqueFd& fd)
{
    auto* node = new FolderNode(folder.parent, folder.name, folderPath_.size(), folder.inode, walk_.nextSerial(),
                                subfolderNames_, subfolders_.size());
    walk_.budget().keepNewest(*node, fd);
    handed_.clear();
    for (const Subfolder& subfolder : subfolders_)
        handed_.push_back({node, std::string_view(node->childNames() + subfolder.nameOffset, subfolder.nameLength),
                           subfolder.inode});
    walk_.stack().push(handed_.data(), handed_.size());
}

void FolderReader::flush()
{
    walk_.progress().add(entries_, files_, errors_, folderPath_);
    entries_ = files_ = errors_ = 0;
}
