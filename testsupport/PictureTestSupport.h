#pragma once

// Pictures for the tests of the picture object, the tools, the adjustment
// pages, the document and the view: an 8-bit grey picture object with known
// pixel values, reading a pixel back, and a document whose first object is
// such a picture, shown in a view.

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include <gtest/gtest.h>

// A grey picture object whose pixel (x, y) is (x * xStep + y * yStep) & 0xFF,
// row 0 on top. The caller owns it (a document takes it over with Add).
inline CDrawImage *NewGreyPicture(int w, int h, int xStep, int yStep = 1)
{
    auto *obj = new CDrawImage;
    EXPECT_EQ(obj->Create(w, h, 8, nullptr), 1);
    TVFImage *image = obj->GetImage();
    for (int y = 0; y < h; ++y) {
        BYTE *line = image->getScanLine(unsigned(h - 1 - y));
        for (int x = 0; x < w; ++x)
            line[x] = BYTE((x * xStep + y * yStep) & 0xFF);
    }
    image->setModified(TRUE);
    return obj;
}

// The grey value of pixel (x, y), row 0 on top.
inline int GreyPixelAt(const TVFImage *image, int x, int y)
{
    return image->getScanLine(image->getHeight() - 1 - unsigned(y))[x];
}

// A document holding a grey picture as its first object, unmodified, and a
// view on it (the view is made after the document and goes first).
template <class Document, class View>
struct PictureDocument
{
    explicit PictureDocument(int w, int h, int xStep, int yStep = 1)
        : picture(NewGreyPicture(w, h, xStep, yStep))
    {
        doc.Add(picture);
        doc.SetModifiedFlag(false);
    }

    TVFImage &image() { return *picture->GetImage(); }

    Document doc;
    View view {&doc};
    CDrawImage *picture; // owned by the document
};
