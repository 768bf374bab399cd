#include "appbase/ui/pages/IPPPaletteNormal.h"

IPPPaletteNormal::IPPPaletteNormal(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_NormalPalette, tr("Palette"), parent)
{
    SetDescription(tr("Shows the picture in plain grey levels."));
}
