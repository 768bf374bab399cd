#pragma once

// The auto-contrast palette: the display range follows the histogram.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteAutoContrast : public IPPropertyPage
{
public:
    explicit IPPPaletteAutoContrast(CDrawImage *target, QWidget *parent = nullptr);
};
