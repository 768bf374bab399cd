#pragma once

// What a picture is drawn with: the display bitmap built from the picture's
// bitmap and its display settings, kept as the QImage QPainter draws until
// the pixels, the settings or the background change.
//
// The picture's own bitmap is never altered for display: whenever a palette
// or an adjustment has to be applied, it is applied to a copy.

#include "imaging/BitmapHandle.h"

#include <FreeImage.h>

#include <QImage>

class ImageDisplayPipeline
{
public:
    // The display settings of a picture (fipWinImage keeps and stores them).
    struct Settings
    {
        double brightness = 0;
        double contrast = 0;
        double gamma = 1;
        int paletteType = 0; // fipWinImage::enPalette
        int displayRangeLow = 0;
        int displayRangeHigh = 255;
        FREE_IMAGE_TMO toneMappingOperator = FITMO_DRAGO03;
        double toneMappingParam1 = 0;
        double toneMappingParam2 = 0;
        double toneMappingParam3 = 1;
        double toneMappingParam4 = 0;
    };

    // The display image of picture, rebuilt when pixelsChanged, after
    // invalidate() or when the background arguments differ from last time.
    // Null for a null picture.
    const QImage &image(FIBITMAP *picture, bool pixelsChanged, const Settings &settings,
                        BOOL useFileBkg, RGBQUAD *appBkColor, FIBITMAP *bg);
    // The settings changed: rebuild on the next call.
    void invalidate() { m_dirty = true; }
    // Drops the kept image as well.
    void reset()
    {
        m_image = QImage();
        m_dirty = true;
    }

    // The display bitmap: the picture itself when nothing changes for
    // display (borrowed), a new bitmap otherwise (owned); empty on failure.
    static BitmapHandle buildDisplayBitmap(FIBITMAP *picture, const Settings &settings,
                                           BOOL useFileBkg, RGBQUAD *appBkColor, FIBITMAP *bg);

private:
    static bool paletteStepApplies(FIBITMAP *picture);
    static void applyPaletteStep(FIBITMAP *picture, const Settings &settings, FIBITMAP *display);

    QImage m_image;
    bool m_dirty = true;
    BOOL m_usedFileBkg = FALSE;
    bool m_hadAppBk = false;
    RGBQUAD m_appBk = {0, 0, 0, 0};
    FIBITMAP *m_bg = nullptr;
};
