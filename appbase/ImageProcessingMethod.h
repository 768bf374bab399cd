#pragma once

// The image-processing methods the view's commands run (DoIPMethod). The
// numbers are stable: the names double as undo captions.

#include <QString>

enum enImageProcessingMethod : int {
    IPM_ResizingUsingResampling = 0,
    IPM_FlipHorizontally = 1,
    IPM_FlipVertically = 2,
    IPM_Rotate90CW = 3,
    IPM_Rotate90CCW = 4,
    IPM_RotateArbitrarily = 5,
    IPM_Invert = 6,
    IPM_DisplayAdjustment = 7,
    IPM_NormalPalette = 8,
    IPM_AutoContrastPalette = 9,
    IPM_SaturationPalette = 10,
    IPM_ShadesOfGreenPalette = 11,
    IPM_ShadesOfBluePalette = 12,
    IPM_ShadesOfRedPalette = 13,
    IPM_BlurAverage3x3 = 14,
    IPM_BlurAverage5x5 = 15,
    IPM_NoiseReductionMedian3x3 = 16,
    IPM_NoiseReductionMedian5x5 = 17,
    IPM_Combination = 18,
    IPM_Equalize = 19,
    IPM_FilterEmboss = 21,
    IPM_FilterGradient = 22,
    IPM_FilterLaplace = 23,
    IPM_FilterLineSegment = 24,
    IPM_FilterPrewitt = 25,
    IPM_FilterShiftDifferential = 26,
    IPM_FilterSobel = 27,
    IPM_Grayscale = 28,
    IPM_Sharpness = 29,
    IPM_Threshold = 30,
    IPM_NoiseReductionMedianBlur = 31,
};

// The method's name as the user sees it in the undo caption; "undefined" for
// any other value. The spellings are the program's own (they appear in stored
// undo captions and tests).
QString ImageProcessingMethodName(int method);

class TVFImage;

// What the dialog pages set; the methods without a page ignore it.
struct IPParameters
{
    int brightness = 0; // -100 ... 100
    int contrast = 0; // -100 ... 100
    double gamma = 1.0; // 0.01 ... 2.00
    int degrees = 0; // -45 ... 45, counter-clockwise positive on the slider
};

// Applies one method to a picture: the operation a page previews and the view
// runs when no dialog is shown. Returns false for a method without an
// operation (the picture is then unchanged).
bool ApplyImageProcessingMethod(TVFImage &image, enImageProcessingMethod method,
                                const IPParameters &parameters = {});
