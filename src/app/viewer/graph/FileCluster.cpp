#include "app/viewer/graph/FileCluster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr double spreadOffset = 9.4;
// One unit in the last place below the double nearest to 7.7; the cluster sits exactly there.
constexpr double ringOffset = 7.699999999999999;
static_assert(std::bit_cast<uint64_t>(ringOffset) == 0x401ECCCCCCCCCCCCull);
constexpr double goldenAngle = 2.399963229728653;

}

namespace FileCluster {

double radius(int count)
{
    const double r = 0.53 * std::sqrt(double(count));
    return r >= 1.2 ? std::min(r, 3.3) : 1.2;
}

Vec3 position(int ordinal, int count, bool spread)
{
    const double r = radius(count);
    const double centreX = r + (spread ? spreadOffset : ringOffset);
    const double y = 1 - 2 * (ordinal + 0.5) / count;
    const double u = std::sqrt(std::max(0.0, 1 - y * y));
    const double theta = ordinal * goldenAngle;
    return {centreX + r * u * std::cos(theta), r * y - 0.6, 0.8 * r * u * std::sin(theta)};
}

}
