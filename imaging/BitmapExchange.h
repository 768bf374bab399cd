#pragma once

// Exchange of pictures with the desktop: the packed device-independent
// bitmap a global memory handle holds, QImage (which the clipboard and a
// window capture give), and the clipboard itself. FreeImage keeps the bottom
// row first; QImage and the packed bitmap's readers see the top row first.

#include <FreeImage.h>

#include <QByteArray>
#include <QImage>
#include <QtGui/qwindowdefs.h>

class BitmapExchange
{
public:
    // Info header, palette and bits of a standard bitmap; empty when dib is
    // null or not a standard bitmap.
    static QByteArray toPackedDib(FIBITMAP *dib);
    // The BMP file made of a packed bitmap (file header in front), for the
    // BMP decoder to check; empty when the header cannot be one of a packed
    // bitmap or its palette runs past the end.
    static QByteArray bmpFileOfPackedDib(const QByteArray &packedDib);

    // A new bitmap the caller owns; null for a null image or when it cannot
    // be allocated. Grey 8 and 16-bit images keep their depth; others become
    // 24 bits, or 32 with an alpha channel.
    static FIBITMAP *fromQImage(const QImage &image);
    // The bitmap as a QImage; 16-bit grey stays 16-bit, 8-bit grey stays grey.
    static QImage toQImage(FIBITMAP *dib);
    // A 32-bit bitmap (BGRA in memory) as a top-down QImage; opaque unless
    // keepAlpha.
    static QImage fromBitmap32(FIBITMAP *dib32, bool keepAlpha);

    // The clipboard and the screen need a running QGuiApplication; without
    // one nothing is put and null images are given.
    static bool toClipboard(FIBITMAP *dib);
    static QImage clipboardImage();
    static QImage windowImage(WId window);
};
