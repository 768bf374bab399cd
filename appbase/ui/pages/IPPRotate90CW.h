#pragma once

// A quarter turn clockwise.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPRotate90CW : public IPPropertyPage
{
public:
    explicit IPPRotate90CW(CDrawImage *target, QWidget *parent = nullptr);
};
