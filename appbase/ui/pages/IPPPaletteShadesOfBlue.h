#pragma once

// The palette of shades of blue.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteShadesOfBlue : public IPPropertyPage
{
public:
    explicit IPPPaletteShadesOfBlue(CDrawImage *target, QWidget *parent = nullptr);
};
