#include "appbase/ui/pages/IPPPaletteShadesOfGreen.h"

IPPPaletteShadesOfGreen::IPPPaletteShadesOfGreen(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_ShadesOfGreenPalette, tr("Palette"), parent)
{
    SetDescription(tr("Shows the picture in shades of green."));
}
