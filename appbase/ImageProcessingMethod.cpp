#include "appbase/ImageProcessingMethod.h"

#include "imaging/TVFImage.h"

QString ImageProcessingMethodName(int method)
{
    switch (method) {
    case IPM_ResizingUsingResampling: return QStringLiteral("Resizing Using Resampling");
    case IPM_FlipHorizontally: return QStringLiteral("Flip Horizontally");
    case IPM_FlipVertically: return QStringLiteral("Flip Vertically");
    case IPM_Rotate90CW: return QString::fromUtf8("Rotate 90\u00b0 Clockwise");
    case IPM_Rotate90CCW: return QString::fromUtf8("Rotate 90\u00b0 Counter Clockwise");
    case IPM_RotateArbitrarily: return QStringLiteral("Rotate Arbitrarily");
    case IPM_Invert: return QStringLiteral("Invert");
    case IPM_DisplayAdjustment: return QStringLiteral("Display adjustment");
    case IPM_NormalPalette: return QStringLiteral("NormalPalette");
    case IPM_AutoContrastPalette: return QStringLiteral("AutoContrastPalette");
    case IPM_SaturationPalette: return QStringLiteral("SaturationPalette");
    case IPM_ShadesOfGreenPalette: return QStringLiteral("ShaesOfGreenPalette");
    case IPM_ShadesOfBluePalette: return QStringLiteral("ShaesOfBluePalette");
    case IPM_ShadesOfRedPalette: return QStringLiteral("ShadesOfRedPalette");
    case IPM_BlurAverage3x3: return QStringLiteral("Blur - Average 3X3");
    case IPM_BlurAverage5x5: return QStringLiteral("Blur - Average 5X5");
    case IPM_NoiseReductionMedian3x3: return QStringLiteral("Noise Reduction - Median 3X3");
    case IPM_NoiseReductionMedian5x5: return QStringLiteral("Noise Reduction - Median 5X5");
    case IPM_Combination: return QStringLiteral("Combination");
    case IPM_Equalize: return QStringLiteral("Equalize");
    case IPM_FilterEmboss: return QStringLiteral("Filter - Emboss");
    case IPM_FilterGradient: return QStringLiteral("Filter - Gradient");
    case IPM_FilterLaplace: return QStringLiteral("Filter - Laplace");
    case IPM_FilterLineSegment: return QStringLiteral("Filter - Line Segment");
    case IPM_FilterPrewitt: return QStringLiteral("Filter - Prewitt");
    case IPM_FilterShiftDifferential: return QStringLiteral("Filter - Shift Differential");
    case IPM_FilterSobel: return QStringLiteral("Filter - Sobel");
    case IPM_Grayscale: return QStringLiteral("Grayscale");
    case IPM_Sharpness: return QStringLiteral("Sharpness");
    case IPM_Threshold: return QStringLiteral("Threshold");
    case IPM_NoiseReductionMedianBlur: return QStringLiteral("NoiseReductionMedianBlur");
    default: return QStringLiteral("undefined");
    }
}

bool ApplyImageProcessingMethod(TVFImage &image, enImageProcessingMethod method,
                                const IPParameters &parameters)
{
    switch (method) {
    case IPM_FlipHorizontally: image.flipHorizontal(); return true;
    case IPM_FlipVertically: image.flipVertical(); return true;
    case IPM_Rotate90CW: image.rotate(-90, 1); return true;
    case IPM_Rotate90CCW: image.rotate(90, 1); return true;
    case IPM_RotateArbitrarily: image.rotate(-parameters.degrees, 0); return true;
    case IPM_Invert: image.invertPixels(); return true;
    case IPM_DisplayAdjustment:
        image.setImageAdjustmentValues(parameters.brightness, parameters.contrast,
                                       parameters.gamma);
        return true;
    case IPM_NormalPalette: image.setPalette(fipWinImage::PaletteNormal); return true;
    case IPM_SaturationPalette: image.setPalette(fipWinImage::PaletteSaturation); return true;
    case IPM_ShadesOfGreenPalette: image.setPalette(fipWinImage::PaletteShadesOfGreen); return true;
    case IPM_ShadesOfRedPalette: image.setPalette(fipWinImage::PaletteShadesOfRed); return true;
    case IPM_ShadesOfBluePalette: image.setPalette(fipWinImage::PaletteShadesOfBlue); return true;
    case IPM_AutoContrastPalette: image.setPalette(fipWinImage::PaletteAutoContrast); return true;
    case IPM_NoiseReductionMedianBlur: image.Median(3); return true;
    default: return false;
    }
}
