#include "appbase/ui/pages/IPPPaletteShadesOfRed.h"

IPPPaletteShadesOfRed::IPPPaletteShadesOfRed(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_ShadesOfRedPalette, tr("Palette"), parent)
{
    SetDescription(tr("Shows the picture in shades of red."));
}
