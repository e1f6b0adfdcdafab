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

    // Compact JSON, keys in field order, optional keys left out when absent.
    QByteArray encoded() const;
    // Accepts any key order and missing optional keys. Throws DecodingError.
    static SavedLayout decoded(const QByteArray& bytes);

    friend bool operator==(const SavedLayout&, const SavedLayout&) = default;
};
