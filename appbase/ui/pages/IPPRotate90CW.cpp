#include "appbase/ui/pages/IPPRotate90CW.h"

IPPRotate90CW::IPPRotate90CW(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_Rotate90CW, tr("Rotate"), parent)
{
    SetDescription(tr("Turns the picture by 90 degrees clockwise."));
}
