#include "analysis1d/engine/DetectionSlider.h"

#include "numerics/MathTVR.h"
#include "platform/ProfileStore.h"

namespace {
// The thresholds at the ends and at the middle of the slider.
constexpr double kUpper = 0.2;
constexpr double kLower = 0.01;
constexpr double kMiddle = 0.03;
} // namespace

const QString &DetectionSlider::ProfileSection()
{
    static const QString section = QStringLiteral("Analysis1D");
    return section;
}

const QString &DetectionSlider::ProfileKey()
{
    static const QString key = QStringLiteral("peakHeightThreshold");
    return key;
}

// The lower half spans thresholds 0.20 .. 0.18, the upper half 0.18 .. 0.01:
// towards "More Bands" the threshold falls.
double DetectionSlider::ThresholdFromSlider(int position)
{
    const double value = position <= kDefaultPosition
        ? MathTVR::map(position, kMinimum, kDefaultPosition, kLower, kMiddle)
        : MathTVR::map(position, kDefaultPosition, kMaximum, kMiddle, kUpper);
    return kUpper + kLower - value;
}

int DetectionSlider::StoredPosition()
{
    return ProfileStore::instance().GetSectionInt(ProfileSection(), ProfileKey(), kDefaultPosition);
}
