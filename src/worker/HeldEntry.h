#pragma once

#include "shared/platform/FileStatus.h"
#include "worker/PrivateFolder.h"

#include <optional>
#include <string>

// The reviewed entry moved into the run's private folder under its own name, where it is
// checked once more and unlinked, so that nothing else can take its place between that check
// and the act. Whatever is not the reviewed entry goes back where it was found.
class HeldEntry {
public:
    // `shownFolder` is the folder as the log shows it; `pinned` holds the reviewed entry.
    HeldEntry(const PrivateFolder& room, std::string name, std::string shownFolder, int pinned);

    // Moves what the name leads to into the private folder, never over anything.
    bool take();
    std::optional<FileStatus> status() const;
    bool remove();

    // Puts back an entry that turned out not to be the reviewed one; returns the reason with
    // where both that entry and the reviewed file are when it could not go back under its name.
    std::string putBackStranger(const std::string& reason) const;
    // Puts the reviewed file back; returns the reason, with where the file is when its name
    // was taken meanwhile.
    std::string putBackReviewed(const std::string& reason) const;

    // Where the reviewed file is now, as a sentence.
    std::string reviewedWhereabouts() const;

private:
    struct Place {
        std::string path;
        // Still in the private folder, as neither name could be had.
        bool stuck = false;
    };

    // Moves the held entry back under its name; none when that worked, otherwise where it is
    // now, as the log shows it: a recovery name beside its name, or the private folder.
    std::optional<Place> moveBack() const;

    const PrivateFolder& room_;
    const std::string name_;
    const std::string shownFolder_;
    const int pinned_;
};
