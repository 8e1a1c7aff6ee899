// Placement, source choice and time offsets of the copies: shared by the layout and by smart
// pre-render, which predicts the source frames the copies will need.
#include <algorithm>
#include <cmath>

#include "curves/CurveModel.h"
#include "layout/InstanceLayout.h"

namespace strandel {
namespace {

constexpr double kNegligible = 1e-8;
constexpr uint32_t kIndexMultiplier = 0x9E3779B9u;
constexpr uint32_t kChannelMultiplier = 0x85EBCA6Bu;
// Takes the place of the channel term in the time-random hash.
constexpr uint32_t kTimeRandomSalt = 0xD8F2BDD7u;

uint32_t Avalanche(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double ToSigned(uint32_t h) { return 2.0 * (h / 4294967295.0) - 1.0; }

} // namespace

Placement PlaceInstance(const RenderSettings& settings, int32_t index)
{
    const int32_t n = settings.count;
    Placement p;
    if (n <= 0 || index < 0 || index >= n) return p;

    const int32_t j = settings.reverse ? n - 1 - index : index;
    double f = 0.5;
    if (n > 1) f = settings.loop ? double(j) / n : double(j) / (n - 1);

    double x = (settings.spacing / 100.0) * (f - 0.5) + 0.5 + settings.offset / 100.0;
    if (settings.loop) {
        x -= std::floor(x);
    } else if (x < 0.0 || x > 1.0) {
        return p;
    }

    double g = std::clamp(x, 0.0, 1.0);
    if (settings.reverse) g = 1.0 - g;

    p.placed = true;
    p.pathFraction = x;
    p.indexFraction = IndexFraction(n, index);
    p.gradientFraction = g;
    return p;
}

double IndexFraction(int32_t count, int32_t index) { return count > 1 ? double(index) / (count - 1) : 0.0; }

int32_t ChooseSource(const RenderSettings& settings, int32_t index, int32_t sourceCount)
{
    if (sourceCount < 1) return -1;
    if (settings.sourceMode == SourceMode::Random) {
        return int32_t(HashRandom(settings.sourceSeed, uint32_t(index), kSourceChoiceChannel) % uint32_t(sourceCount));
    }
    return index % sourceCount;
}

uint32_t HashRandom(uint32_t seed, uint32_t index, uint32_t channel)
{
    return Avalanche((index * kIndexMultiplier) ^ (channel * kChannelMultiplier) ^ seed);
}

double SignedRandom(uint32_t seed, uint32_t index, uint32_t channel)
{
    return ToSigned(HashRandom(seed, index, channel));
}

double InstanceTimeOffset(const RenderSettings& settings, int32_t index, double indexFraction, double gradientFraction)
{
    const uint32_t timeHash = Avalanche((uint32_t(index) * kIndexMultiplier) ^ settings.randomSeed ^ kTimeRandomSalt);
    const double ramp = settings.rampTimeOffset * EvaluateCurve(settings.rampTimeOffsetCurve, indexFraction);
    const double gradient =
        settings.gradientStartTimeOffset + (settings.gradientEndTimeOffset - settings.gradientStartTimeOffset) *
                                               EvaluateCurve(settings.gradientTimeOffsetCurve, gradientFraction);
    return ramp + gradient + settings.timeRandom * ToSigned(timeHash);
}

bool HasTimeOffsets(const RenderSettings& settings)
{
    for (double amount : {settings.rampTimeOffset, settings.gradientStartTimeOffset, settings.gradientEndTimeOffset,
                          settings.timeRandom}) {
        if (std::abs(amount) > kNegligible) return true;
    }
    return false;
}

} // namespace strandel
