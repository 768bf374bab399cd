#include "appbase/ui/pages/IPPPaletteShadesOfBlue.h"

IPPPaletteShadesOfBlue::IPPPaletteShadesOfBlue(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_ShadesOfBluePalette, tr("Palette"), parent)
{
    SetDescription(tr("Shows the picture in shades of blue."));
}
