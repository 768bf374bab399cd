#include "appbase/ui/pages/IPPRotate90CCW.h"

IPPRotate90CCW::IPPRotate90CCW(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_Rotate90CCW, tr("Rotate"), parent)
{
    SetDescription(tr("Turns the picture by 90 degrees counter-clockwise."));
}
