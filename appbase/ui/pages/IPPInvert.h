#pragma once

// Inverts the pixel values of the picture.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPInvert : public IPPropertyPage
{
public:
    explicit IPPInvert(CDrawImage *target, QWidget *parent = nullptr);
};
