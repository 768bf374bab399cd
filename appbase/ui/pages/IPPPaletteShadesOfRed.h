#pragma once

// The palette of shades of red.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteShadesOfRed : public IPPropertyPage
{
public:
    explicit IPPPaletteShadesOfRed(CDrawImage *target, QWidget *parent = nullptr);
};
