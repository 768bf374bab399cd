#pragma once

#include "analysis1d/engine/Options.h"

// What the lane graph draws (flags, 0 or 1).
class GraphOptions : public Options
{
public:
    GraphOptions();

    void Store(ProfileStore &store) const override;
    void Load(const ProfileStore &store) override;

    int m_ShowBackground = 1;
    int m_ShowGaussians = 1;
    int m_ShowPeakNumbers = 1;
    int m_ShowWidth = 0;
    int m_ShowBaselines = 1;
    int m_drawLane3D = 0;
    int m_autoScale = 1;
};
