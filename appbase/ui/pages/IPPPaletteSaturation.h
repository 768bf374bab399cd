#pragma once

// The palette that marks saturated pixels.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteSaturation : public IPPropertyPage
{
public:
    explicit IPPPaletteSaturation(CDrawImage *target, QWidget *parent = nullptr);
};
