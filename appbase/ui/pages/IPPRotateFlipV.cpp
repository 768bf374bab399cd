#include "appbase/ui/pages/IPPRotateFlipV.h"

IPPRotateFlipV::IPPRotateFlipV(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_FlipVertically, tr("Flip"), parent)
{
    SetDescription(tr("Mirrors the picture top to bottom."));
}
