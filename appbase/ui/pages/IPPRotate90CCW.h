#pragma once

// A quarter turn counter-clockwise.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPPRotate90CCW : public IPPropertyPage
{
public:
    explicit IPPRotate90CCW(CDrawImage *target, QWidget *parent = nullptr);
};
