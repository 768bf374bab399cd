#pragma once

// Noise reduction by a 3 x 3 median filter.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPMedianBlur3 : public IPPropertyPage
{
public:
    explicit IPPMedianBlur3(CDrawImage *target, QWidget *parent = nullptr);
};
