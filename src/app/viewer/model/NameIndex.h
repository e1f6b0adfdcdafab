#pragma once

#include "app/folders/VEntry.h"

#include <QList>
#include <QString>

#include <vector>

// The names of one folder's entries end to end in one text, each followed by "/", which no
// name holds. A find then runs through memory in order instead of visiting every entry's own
// path, which keeps a keystroke quick on folders of a hundred thousand entries.
class NameIndex {
public:
    NameIndex() = default;
    explicit NameIndex(const QList<VEntry>& entries);

    // How many entries it holds.
    qsizetype size() const { return qsizetype(starts_.size()) - (starts_.empty() ? 0 : 1); }
    // The positions of the entries whose names contain the needle, ignoring case, in order.
    std::vector<qsizetype> matching(const QString& needle) const;

private:
    QString names_;
    // Where each entry's name starts in names_, and one more start past the end.
    std::vector<qsizetype> starts_;
};
