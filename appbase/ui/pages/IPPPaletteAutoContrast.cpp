#include "appbase/ui/pages/IPPPaletteAutoContrast.h"

IPPPaletteAutoContrast::IPPPaletteAutoContrast(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_AutoContrastPalette, tr("Palette"), parent)
{
    SetDescription(tr("Stretches the display over the range of grey levels the picture actually "
                      "uses (taken from its histogram)."));
}
