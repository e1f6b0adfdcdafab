#pragma once

#include <QString>

// A volume that setup offers: its mount point and the name shown for it.
struct VolumeEntry {
    QString url;
    QString name;
    friend bool operator==(const VolumeEntry&, const VolumeEntry&) = default;
};
