#include "appbase/ImageProcessingMethod.h"
#include "appbase/ui/pages/IPMainPropertySheet.h"
#include "appbase/ui/pages/IPPDisplayAdjustment.h"
#include "appbase/ui/pages/IPPRotateArbitrary.h"
#include "appbase/ui/pages/IPPropertyPage.h"
#include "appbase/ui/pages/IPSliderSpinEdit.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include "testsupport/PictureTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray pixelsOf(const TVFImage &image)
{
    QByteArray bytes;
    for (unsigned y = 0; y < image.getHeight(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.getScanLine(y)),
                     qsizetype(image.getScanWidth()));
    return bytes;
}

// A document whose first object is a grey, non-square picture (pixel (x, y)
// is x * 5 + y), shown in an off-screen view.
struct Bench : PictureDocument<CDrawDocument, COffscreenDrawView>
{
    Bench() : PictureDocument(40, 24, 5) { }
};

TEST(AdjustmentSheet, OneFittingPagePerMethodPreviewingTheMethodsOperation)
{
    const enImageProcessingMethod withPage[]
        = {IPM_FlipHorizontally,   IPM_FlipVertically,          IPM_Rotate90CW,
           IPM_Rotate90CCW,        IPM_RotateArbitrarily,       IPM_Invert,
           IPM_DisplayAdjustment,  IPM_NormalPalette,           IPM_AutoContrastPalette,
           IPM_SaturationPalette,  IPM_ShadesOfGreenPalette,    IPM_ShadesOfBluePalette,
           IPM_ShadesOfRedPalette, IPM_NoiseReductionMedianBlur};
    for (enImageProcessingMethod method : withPage) {
        SCOPED_TRACE(ImageProcessingMethodName(method).toStdString());
        Bench b;
        IPMainPropertySheet sheet(b.picture, method);
        ASSERT_NE(sheet.GetPage(), nullptr);
        EXPECT_EQ(sheet.GetPage()->GetMethod(), method);
        EXPECT_EQ(sheet.windowTitle(),
                  method == IPM_DisplayAdjustment ? "Display Adjustment" : "Image processing");
        EXPECT_FALSE(sheet.GetApplyButton()->isEnabled());

        // The preview is the method applied to the picture as it was.
        // (The free rotation opens at 0 degrees, which leaves the picture alone.)
        TVFImage expected(b.image());
        if (method != IPM_RotateArbitrarily)
            ApplyImageProcessingMethod(expected, method, IPParameters());
        b.picture->GetImage()->flipVertical(); // a state the preview must not build on
        sheet.GetPage()->OnPreview();
        EXPECT_EQ(pixelsOf(b.image()), pixelsOf(expected));
        EXPECT_EQ(b.image().getPaletteType(), expected.getPaletteType());
        EXPECT_EQ(b.image().GetPreprocessStr(), expected.GetPreprocessStr());
        EXPECT_EQ(b.picture->m_position,
                  CRect(0, 0, int(expected.getWidth()), int(expected.getHeight())));
    }

    // Any other method has no page; the command shows nothing and reports Cancel.
    Bench b;
    IPMainPropertySheet sheet(b.picture, IPM_BlurAverage3x3);
    EXPECT_EQ(sheet.GetPage(), nullptr);
    EXPECT_FALSE(RunImageAdjustmentSheet(b.picture, IPM_BlurAverage3x3, nullptr));
}

TEST(AdjustmentSheet, DisplayPageOpensWithThePicturesSettings)
{
    Bench b;
    {
        IPPDisplayAdjustment page(b.picture);
        EXPECT_EQ(page.GetGamma()->GetSlider()->value(), 100); // gamma 1.0
        EXPECT_EQ(page.GetGamma()->GetSpin()->value(), 100);
        page.GetGamma()->GetDefaultButton()->click();
        EXPECT_EQ(page.GetGamma()->GetSlider()->value(), 100);
        EXPECT_DOUBLE_EQ(page.GetGammaValue(), 1.0);
        EXPECT_EQ(page.GetBrightness()->GetSlider()->minimum(), -100);
        EXPECT_EQ(page.GetContrast()->GetSlider()->maximum(), 100);
        EXPECT_EQ(page.GetGamma()->GetSlider()->minimum(), 1);
        EXPECT_EQ(page.GetGamma()->GetSpin()->maximum(), 200);
    }
    b.image().setImageAdjustmentValues(20.7, -30.2, 0.29);
    IPPDisplayAdjustment page(b.picture);
    EXPECT_EQ(page.GetBrightnessValue(), 20); // truncated
    EXPECT_EQ(page.GetContrastValue(), -30);
    EXPECT_EQ(page.GetGamma()->GetSlider()->value(), 28); // 0.29 * 100 truncated
    page.GetBrightness()->GetDefaultButton()->click();
    EXPECT_EQ(page.GetBrightnessValue(), 0);
    EXPECT_EQ(b.image().getBrightness(), 0.0);
    EXPECT_DOUBLE_EQ(b.image().getGamma(), 0.28);
}

TEST(AdjustmentSheet, SliderDragPreviewsOnReleaseSpinAndTypingAtOnce)
{
    Bench b;
    IPMainPropertySheet sheet(b.picture, IPM_DisplayAdjustment);
    auto *page = static_cast<IPPDisplayAdjustment *>(sheet.GetPage());
    sheet.show();
    QSlider *slider = page->GetBrightness()->GetSlider();
    QSpinBox *spin = page->GetBrightness()->GetSpin();

    slider->setSliderDown(true);
    slider->setValue(40);
    EXPECT_EQ(spin->value(), 40);
    EXPECT_EQ(spin->text(), "40");
    EXPECT_EQ(b.image().getBrightness(), 0.0); // still dragging
    slider->setSliderDown(false); // thumb released
    EXPECT_EQ(b.image().getBrightness(), 40.0);
    EXPECT_TRUE(sheet.GetApplyButton()->isEnabled());

    spin->stepBy(-5);
    EXPECT_EQ(slider->value(), 35);
    EXPECT_EQ(b.image().getBrightness(), 35.0);

    QLineEdit *edit = spin->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(spin, "-12");
    EXPECT_EQ(slider->value(), -12);
    EXPECT_EQ(b.image().getBrightness(), -12.0);

    // However many settings were tried, the picture holds the base plus the one shown.
    TVFImage expected(*page->GetBackup()->GetImage());
    expected.setImageAdjustmentValues(-12, 0, 1.0);
    EXPECT_EQ(b.image().GetPreprocessStr(), expected.GetPreprocessStr());
    sheet.reject();
}

TEST(AdjustmentSheet, RotationToTenAndBackToZeroLeavesThePictureAsItWas)
{
    Bench b;
    const TVFImage original(b.image());
    IPPRotateArbitrary page(b.picture);
    QSlider *slider = page.GetDegrees()->GetSlider();
    EXPECT_EQ(slider->minimum(), -45);
    EXPECT_EQ(slider->maximum(), 45);
    EXPECT_EQ(slider->pageStep(), 5);
    EXPECT_EQ(slider->tickInterval(), 5);
    EXPECT_EQ(page.GetDegrees()->GetSpin()->minimum(), -45);

    slider->setValue(10);
    EXPECT_EQ(page.GetDegreesValue(), 10);
    EXPECT_GT(b.image().getWidth(), original.getWidth()); // grown to hold the turned corners
    EXPECT_EQ(b.picture->m_position.Size(), b.image().GetSize());
    EXPECT_TRUE(page.IsModified());

    slider->setValue(0);
    EXPECT_EQ(b.image().GetSize(), original.GetSize());
    EXPECT_EQ(pixelsOf(b.image()), pixelsOf(original));
    EXPECT_EQ(b.image().GetPreprocessStr(), original.GetPreprocessStr());
    EXPECT_EQ(b.picture->m_position, CRect(0, 0, 40, 24));
    CDrawImage before(CRect(0, 0, 40, 24));
    *before.GetImage() = original;
    EXPECT_FALSE(*b.picture != before); // the view would drop its undo step
}

TEST(AdjustmentSheet, ApplyThenCancelKeepsTheAppliedStateAsTheBase)
{
    Bench b;
    IPMainPropertySheet sheet(b.picture, IPM_DisplayAdjustment);
    auto *page = static_cast<IPPDisplayAdjustment *>(sheet.GetPage());
    sheet.show();
    page->GetContrast()->GetSpin()->setValue(30);
    EXPECT_EQ(b.image().getContrast(), 30.0);
    EXPECT_FALSE(b.doc.IsModified());

    sheet.GetApplyButton()->click();
    EXPECT_TRUE(b.doc.IsModified());
    EXPECT_FALSE(sheet.GetApplyButton()->isEnabled());
    EXPECT_EQ(page->GetBackup()->GetImage()->getContrast(), 30.0);

    page->GetContrast()->GetSpin()->setValue(50);
    page->GetGamma()->GetSpin()->setValue(150);
    EXPECT_EQ(b.image().getContrast(), 50.0);
    sheet.reject();
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(b.image().getContrast(), 30.0); // the applied state, not the one before
    EXPECT_DOUBLE_EQ(b.image().getGamma(), 1.0);
}

TEST(AdjustmentSheet, OkAppliesOnlyWhatThePageChanged)
{
    {
        // OK without touching anything changes nothing.
        Bench b;
        const TVFImage original(b.image());
        QTimer::singleShot(0, [] {
            auto *sheet = qobject_cast<IPMainPropertySheet *>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            sheet->accept();
        });
        EXPECT_TRUE(RunImageAdjustmentSheet(b.picture, IPM_DisplayAdjustment, nullptr));
        EXPECT_FALSE(b.doc.IsModified());
        EXPECT_EQ(b.image().GetPreprocessStr(), original.GetPreprocessStr());
    }
    {
        // A page without settings shows its result on opening, and OK keeps it.
        Bench b;
        const int corner = b.image().getScanLine(b.image().getHeight() - 1)[0];
        QTimer::singleShot(0, [] {
            auto *sheet = qobject_cast<IPMainPropertySheet *>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            EXPECT_TRUE(sheet->GetApplyButton()->isEnabled());
            sheet->accept();
        });
        EXPECT_TRUE(RunImageAdjustmentSheet(b.picture, IPM_Invert, nullptr));
        EXPECT_EQ(b.image().getScanLine(b.image().getHeight() - 1)[0], 255 - corner);
        EXPECT_TRUE(b.doc.IsModified());
    }
    {
        // Cancel: the page puts back its base.
        Bench b;
        const QByteArray before = pixelsOf(b.image());
        QTimer::singleShot(0, [] {
            auto *sheet = qobject_cast<IPMainPropertySheet *>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            sheet->reject();
        });
        EXPECT_FALSE(RunImageAdjustmentSheet(b.picture, IPM_Rotate90CW, nullptr));
        EXPECT_EQ(pixelsOf(b.image()), before);
        EXPECT_EQ(b.picture->m_position, CRect(0, 0, 40, 24));
    }
}

} // namespace
