#pragma once

#include "analysis1d/engine/Options.h"

// How lanes are drawn on the gel (flags, 0 or 1).
class LanesOptions : public Options
{
public:
    LanesOptions();

    void Store(ProfileStore &store) const override;
    void Load(const ProfileStore &store) override;

    // Both default to 1: a user without saved settings should see the detected
    // lanes and their numbers, as the bands show theirs (m_Show_Number of the
    // band options defaults to 1 as well); hiding them is an explicit choice.
    int m_Show_Number = 1;
    int m_Show = 1;
};
