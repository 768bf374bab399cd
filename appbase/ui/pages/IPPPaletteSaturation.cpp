#include "appbase/ui/pages/IPPPaletteSaturation.h"

IPPPaletteSaturation::IPPPaletteSaturation(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_SaturationPalette, tr("Palette"), parent)
{
    SetDescription(tr("Shows saturated pixels in colour, so over- and under-exposed parts of the "
                      "scan stand out."));
}
