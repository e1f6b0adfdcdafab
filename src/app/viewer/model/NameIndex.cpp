#include "app/viewer/model/NameIndex.h"

#include <numeric>

NameIndex::NameIndex(const QList<VEntry>& entries)
{
    starts_.reserve(entries.size() + 1);
    for (const VEntry& entry : entries) {
        starts_.push_back(names_.size());
        names_ += entry.name();
        names_ += u'/';
    }
    starts_.push_back(names_.size());
}

std::vector<qsizetype> NameIndex::matching(const QString& needle) const
{
    std::vector<qsizetype> found;
    const qsizetype count = size();
    if (needle.isEmpty()) {
        found.resize(count);
        std::iota(found.begin(), found.end(), 0);
        return found;
    }
    // A match across two names would have to hold the separator.
    if (needle.contains(u'/'))
        return found;
    qsizetype entry = 0;
    for (qsizetype at = names_.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
         at = names_.indexOf(needle, starts_[entry], Qt::CaseInsensitive)) {
        while (starts_[entry + 1] <= at)
            ++entry;
        found.push_back(entry);
        ++entry;
    }
    return found;
}
