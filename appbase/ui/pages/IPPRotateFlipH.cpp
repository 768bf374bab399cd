#include "appbase/ui/pages/IPPRotateFlipH.h"

IPPRotateFlipH::IPPRotateFlipH(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_FlipHorizontally, tr("Flip"), parent)
{
    SetDescription(tr("Mirrors the picture left to right."));
}
