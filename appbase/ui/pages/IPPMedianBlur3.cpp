#include "appbase/ui/pages/IPPMedianBlur3.h"

IPPMedianBlur3::IPPMedianBlur3(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_NoiseReductionMedianBlur, tr("Noise Reduction"), parent)
{
    SetDescription(tr("Reduces noise with a median filter over 3 x 3 pixels: every pixel takes the "
                      "median of itself and its eight neighbours."));
}
