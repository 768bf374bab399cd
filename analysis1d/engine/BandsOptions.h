#pragma once

#include "analysis1d/engine/Options.h"

// How bands are drawn on the gel, and the threshold of the band contour.
class BandsOptions : public Options
{
public:
    BandsOptions();

    void Store(ProfileStore &store) const override;
    void Load(const ProfileStore &store) override;

    int m_Show_Bracket = 1;
    int m_Show_Boundary_Contour = 0;
    int m_Show_Number = 1;
    // Contour threshold in percent between a band's darkest and lightest values.
    // The options page offers 0, 5, ..., 30, but any stored value is used as is.
    int m_BoundryPercentage = 30;
};
