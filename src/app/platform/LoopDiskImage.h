#pragma once

#include "app/platform/DiskImage.h"

// Images attached as loop devices: the volume's source is /dev/loopN and the kernel names
// the backing file.
class LoopDiskImage : public DiskImage {
public:
    bool onImage(const QString& bundle) override;
    std::optional<QString> imageFile(const QString& bundle) override;
};
