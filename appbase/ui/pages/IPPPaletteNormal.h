#pragma once

// The normal grey palette.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPPaletteNormal : public IPPropertyPage
{
public:
    explicit IPPPaletteNormal(CDrawImage *target, QWidget *parent = nullptr);
};
