#pragma once

#include "analysis1d/engine/Options.h"

// Which columns the report table shows (flags, 0 or 1). A column whose flag is
// 0 is still created, with width 0, so the column numbering never changes.
class ReportOptions : public Options
{
public:
    ReportOptions();

    void Store(ProfileStore &store) const override;
    void Load(const ProfileStore &store) override;

    int m_Position = 1;
    int m_Baseline = 1;
    int m_Amplitude = 1;
    int m_LaneBand = 1; // no column of its own: "Lane" and "Band" are always shown
    int m_Area = 1;
    int m_Volume = 1;
    int m_SurfaceArea = 1;
    int m_VolumePerSurfaceArea = 1;
    int m_PrecentageArea = 0;
    int m_Concentration = 0;
    int m_PrecentageConcentration = 0;
    int m_MW = 0;
    int m_RelMigrationDist = 1;
    int m_PeakWidth = 0;
    int m_GaussianFitCorrelation = 0;
    // The "Saturated" column after the sixteen others, listed only when a
    // band of the table has saturated pixels.
    int m_Saturated = 1;
};
