#pragma once

#include "app/viewer/model/EyePose.h"
#include "app/viewer/model/Shift3.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <optional>

// One saved arrangement of a folder's graph, as stored in a view slot file.
struct SavedLayout {
    QString folder;
    bool full = false;
    bool mod = false;
    bool hidden = false;
    int64_t page = 0;
    QString filter;
    EyePose eye;
    std::map<QString, Shift3> offsets;
    std::optional<bool> hand;
    // x, y, z, w of the spin quaternion.
    std::optional<std::array<float, 4>> wheel;

    // No view has more dots than this (a graph page of children, three previews each, and the
    // centre), so no layout of ours holds more offsets.
    static constexpr size_t mostOffsets = 200 * 4 + 1;
    // The find field holds no longer text.
    static constexpr qsizetype longestFilter = 32767;
    // Far more than the largest layout of ours; a larger file is refused unread.
    static constexpr size_t largestFile = 8u << 20;

    // Compact JSON, keys in field order, optional keys left out when absent.
    QByteArray encoded() const;
    // Accepts any key order and missing optional keys, and no more offsets or find text than a
    // layout of ours holds. Throws DecodingError.
    static SavedLayout decoded(const QByteArray& bytes);

    friend bool operator==(const SavedLayout&, const SavedLayout&) = default;
};
