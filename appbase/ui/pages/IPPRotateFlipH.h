#pragma once

// Mirrors the picture left to right.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPRotateFlipH : public IPPropertyPage
{
public:
    explicit IPPRotateFlipH(CDrawImage *target, QWidget *parent = nullptr);
};
