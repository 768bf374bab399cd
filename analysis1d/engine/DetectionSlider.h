#pragma once

// The detection dialog's one slider, from 0 ("Less Bands") to 100 ("More
// Bands"), and the peak-height threshold it stands for. The dialog and the
// batch tool both detect through this map, so a position means the same
// threshold wherever it is given.

#include <QString>

class DetectionSlider
{
public:
    static constexpr int kMinimum = 0;
    static constexpr int kMaximum = 100;
    static constexpr int kDefaultPosition = 50;

    // Where the dialog keeps the position between sessions (profile section
    // and key).
    static const QString &ProfileSection();
    static const QString &ProfileKey();

    // The threshold for a position. Positions outside 0..100 are mapped as
    // they are: the dialog clamps only when the slider is moved.
    static double ThresholdFromSlider(int position);
    // The stored position, else the default; not clamped.
    static int StoredPosition();
};
