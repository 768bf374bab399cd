#pragma once

// The palette of shades of green.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteShadesOfGreen : public IPPropertyPage
{
public:
    explicit IPPPaletteShadesOfGreen(CDrawImage *target, QWidget *parent = nullptr);
};
