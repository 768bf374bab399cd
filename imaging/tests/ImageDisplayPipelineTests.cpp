#include "imaging/ImageDisplayPipeline.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct Unload
{
    void operator()(FIBITMAP *dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, Unload>;

// An 8-bit picture with a colour palette: shown as itself unless adjusted.
Bitmap palettised()
{
    Bitmap dib(FreeImage_Allocate(4, 3, 8));
    RGBQUAD *pal = FreeImage_GetPalette(dib.get());
    for (int i = 0; i < 256; ++i) {
        pal[i].rgbRed = BYTE(i);
        pal[i].rgbGreen = BYTE(255 - i);
        pal[i].rgbBlue = BYTE(i / 2);
    }
    for (unsigned y = 0; y < 3; ++y)
        std::memset(FreeImage_GetScanLine(dib.get(), int(y)), int(40 * y + 10), 4);
    return dib;
}

} // namespace

// The display bitmap is the picture itself only while nothing is applied to
// it; whatever is applied goes to a bitmap of its own, which the handle frees.
TEST(ImageDisplayPipeline, DisplayBitmapBorrowsThePictureOnlyWhenNothingChanges)
{
    const Bitmap colour = palettised();
    ImageDisplayPipeline::Settings plain;
    {
        const BitmapHandle shown = ImageDisplayPipeline::buildDisplayBitmap(
            colour.get(), plain, FALSE, nullptr, nullptr);
        EXPECT_EQ(shown.get(), colour.get());
        EXPECT_FALSE(shown.isOwner());
    }
    ImageDisplayPipeline::Settings brighter;
    brighter.brightness = 30;
    {
        const BitmapHandle shown = ImageDisplayPipeline::buildDisplayBitmap(
            colour.get(), brighter, FALSE, nullptr, nullptr);
        ASSERT_TRUE(shown);
        EXPECT_NE(shown.get(), colour.get());
        EXPECT_TRUE(shown.isOwner());
        EXPECT_GT(FreeImage_GetPalette(shown.get())[10].rgbGreen, 245);
    }
    // The picture's own palette is untouched by the adjustment.
    EXPECT_EQ(FreeImage_GetPalette(colour.get())[10].rgbGreen, 245);

    // Grey pictures always go through the palette step, so on a copy.
    Bitmap grey(FreeImage_Allocate(4, 3, 8));
    RGBQUAD *pal = FreeImage_GetPalette(grey.get());
    for (int i = 0; i < 256; ++i)
        pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = BYTE(i);
    ImageDisplayPipeline::Settings green;
    green.paletteType = 2; // shades of green
    const BitmapHandle shown
        = ImageDisplayPipeline::buildDisplayBitmap(grey.get(), green, FALSE, nullptr, nullptr);
    ASSERT_TRUE(shown.isOwner());
    EXPECT_EQ(FreeImage_GetPalette(shown.get())[200].rgbRed, 0);
    EXPECT_EQ(FreeImage_GetPalette(grey.get())[200].rgbRed, 200);

    // 16-bit samples are shown through an 8-bit bitmap made for the purpose.
    Bitmap deep(FreeImage_AllocateT(FIT_UINT16, 4, 3, 16));
    const BitmapHandle converted
        = ImageDisplayPipeline::buildDisplayBitmap(deep.get(), plain, FALSE, nullptr, nullptr);
    ASSERT_TRUE(converted.isOwner());
    EXPECT_EQ(FreeImage_GetBPP(converted.get()), 8u);
}
