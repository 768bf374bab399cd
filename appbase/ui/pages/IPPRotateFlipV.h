#pragma once

// Mirrors the picture top to bottom.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPRotateFlipV : public IPPropertyPage
{
public:
    explicit IPPRotateFlipV(CDrawImage *target, QWidget *parent = nullptr);
};
