#pragma once

#include <QString>

#include <optional>

// Finds the disk image a bundle was opened from.
class DiskImage {
public:
    virtual ~DiskImage() = default;

    // True when the bundle lies on a volume mounted from an image file.
    virtual bool onImage(const QString& bundle) = 0;
    // The image file behind the bundle's volume, when it can be found.
    virtual std::optional<QString> imageFile(const QString& bundle) = 0;
};
