#include "appbase/ui/pages/IPPInvert.h"

IPPInvert::IPPInvert(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_Invert, tr("Invert"), parent)
{
    SetDescription(
        tr("Inverts the picture's pixel values: dark becomes light and light becomes dark."));
}
