#pragma once

#include "analysis1d/engine/Options.h"

// Where the default reference lines are placed inside a new analysis area.
class GeneralOptions : public Options
{
public:
    GeneralOptions();

    void Store(ProfileStore &store) const override;
    void Load(const ProfileStore &store) override;

    int m_DyeFrontOffsetFromBottom = 10; // rows above the analysis area's bottom
    int m_WellOffsetFromTop = 10; // rows below the analysis area's top
};
