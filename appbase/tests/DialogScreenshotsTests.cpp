// Writes the image dialogs as PNG files under build/screenshots/ so they can
// be looked at: the adjustment sheets, the line-weight, progress, list and
// history dialogs.

#include "appbase/ui/pages/IPMainPropertySheet.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "imaging/ui/ImageProcessingListPP.h"

#include "contracts/overlay/ui/CLineWeightDlg.h"

#include "util/ui/CListDlg.h"
#include "util/ui/CProgressDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

QString screenshotDir()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

// The bundled sample gel when it was built, else a plain grey gradient.
std::unique_ptr<CDrawImage> samplePicture()
{
    auto picture = std::make_unique<CDrawImage>();
    QFile sample(QCoreApplication::applicationDirPath()
                 + QStringLiteral("/../samples/sample-gel.tif"));
    if (sample.exists() && picture->Create(&sample) >= 1)
        return picture;
    picture->Create(400, 300, 8, nullptr);
    TVFImage *image = picture->GetImage();
    for (unsigned y = 0; y < 300; ++y) {
        BYTE *line = image->getScanLine(y);
        for (unsigned x = 0; x < 400; ++x)
            line[x] = BYTE((x + y) / 3);
    }
    image->setModified(TRUE);
    return picture;
}

void save(const QImage &image, const QString &name)
{
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    const QString path = screenshotDir() + QLatin1Char('/') + name;
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

TEST(DialogScreenshots, AdjustmentSheetsAndSmallDialogs)
{
    std::unique_ptr<CDrawImage> picture = samplePicture();
    const QString historyBefore = picture->GetImage()->GetPreprocessStr();
    save(RenderAdjustmentPageForScreenshot(picture.get(), IPM_DisplayAdjustment),
         QStringLiteral("display-adjustment-page.png"));
    // Rendering previews nothing.
    EXPECT_EQ(picture->GetImage()->GetPreprocessStr(), historyBefore);
    for (auto [method, name] : {std::pair {IPM_RotateArbitrarily, "rotate-arbitrary-page.png"},
                                std::pair {IPM_Invert, "invert-page.png"},
                                std::pair {IPM_NoiseReductionMedianBlur, "median-page.png"}}) {
        IPMainPropertySheet sheet(picture.get(), method);
        sheet.adjustSize();
        save(sheet.grab().toImage(), QString::fromLatin1(name));
    }

    CLineWeightDlg weights(nullptr, 2);
    weights.adjustSize();
    save(weights.grab().toImage(), QStringLiteral("line-weight-dialog.png"));

    CProgressDlg progress(QStringLiteral("Exporting to Excel"));
    progress.SetRange(0, 200);
    progress.SetPos(150);
    progress.SetStatus(QStringLiteral("Lane 6 of 8"));
    progress.adjustSize();
    save(progress.grab().toImage(), QStringLiteral("progress-dialog.png"));

    QStringList info;
    picture->GetImage()->getImageInfo(info);
    CListDlg list(QStringLiteral("Image info"), info);
    save(list.grab().toImage(), QStringLiteral("image-info-dialog.png"));

    picture->GetImage()->invertPixels();
    picture->GetImage()->rotate(-90, 1);
    picture->GetImage()->setImageAdjustmentValues(10, 20, 0.8);
    ImageProcessingListPP history(picture->GetImage());
    history.adjustSize();
    save(history.grab().toImage(), QStringLiteral("processing-history-page.png"));
}

} // namespace
