// Pictures of the analysis dialogs over the sample gel, written to
// build/screenshots/ to be looked at after every change to a dialog.

#include "analysis1d/tests/DialogTestSupport.h"

#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"
#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/dialogs/MWEditDlg.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
#include "analysis1d/ui/dialogs/TVRListDialog.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "data/CDoubleDataArray.h"

#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

class DialogScreenshotsTest : public DialogTest
{
protected:
    QString outputDir() const
    {
        const QString dir
            = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
        QDir().mkpath(dir);
        return dir;
    }

    // The gel with its overlay at half size, the dialog over its top right.
    void shoot(QWidget *dialog, const QString &name, bool overGel = true)
    {
        dialog->adjustSize();
        QCoreApplication::processEvents();
        const QPixmap grabbed = dialog->grab();
        QImage picture;
        if (overGel) {
            COffscreenDrawView view(&m_doc, 0.6f);
            const TVFImage *image = m_doc.GetImage();
            const QSize gel(int(image->getWidth() * 0.6f), int(image->getHeight() * 0.6f));
            QImage rendered = view.Render(gel);
            // The lanes and bands belong to the analysis, not to the document's
            // objects; the analysis view draws them over the picture.
            if (Analysis1D *analysis = m_doc.GetAnalysis()) {
                QPainter lanes(&rendered);
                Analysis1DOptions &options = m_doc.GetAnalysisOptions();
                for (int i = 0; i < analysis->GetNumberOfLanes(); ++i)
                    analysis->GetLane(i).Draw(&lanes, &view, i, &options.m_LanesOptions,
                                              &options.m_BandsOptions);
            }
            picture = QImage(gel.width() + grabbed.width() + 16,
                             std::max(gel.height(), grabbed.height() + 16), QImage::Format_RGB32);
            picture.fill(QColor(0x40, 0x40, 0x40));
            QPainter painter(&picture);
            painter.drawImage(0, 0, rendered);
            painter.drawPixmap(gel.width() + 8, 8, grabbed);
        } else {
            picture = grabbed.toImage();
        }
        const QString path = outputDir() + QLatin1Char('/') + name + QStringLiteral(".png");
        ASSERT_TRUE(picture.save(path)) << path.toStdString();
        EXPECT_GT(QFileInfo(path).size(), 1000);
    }
};

TEST_F(DialogScreenshotsTest, WizardPagesDetectionCalibrationAndOptions)
{
    m_doc.OnAnalysisStart(nullptr, 0);
    auto *wizard = topLevel<AnalysisWizardDlg>();
    ASSERT_NE(wizard, nullptr);
    wizard->TonePage()->DarkerButton()->setChecked(true);
    shoot(wizard, QStringLiteral("wizard-0-tone"));
    wizard->OnNext();
    m_seam->DrawArea(kSampleArea);
    shoot(wizard, QStringLiteral("wizard-1-area"));
    wizard->OnNext();
    m_seam->DrawExampleBand(kSampleExampleBand);
    shoot(wizard, QStringLiteral("wizard-2-example-band"));
    wizard->OnNext();
    shoot(wizard, QStringLiteral("wizard-3-dye-front-wells"));
    wizard->OnNext();
    flushDeletes();

    Analysis1D *analysis = m_doc.GetAnalysis();
    ASSERT_NE(analysis, nullptr);
    analysis->StartDetectionWizard(nullptr);
    auto *detection = topLevel<DetectionDlg>();
    ASSERT_NE(detection, nullptr);
    detection->Slider()->setFocus();
    QTest::keyClick(detection->Slider(), Qt::Key_End);
    detection->OnDetect();
    shoot(detection, QStringLiteral("detection-after-detect"));
    detection->accept();
    flushDeletes();
    ASSERT_GT(analysis->GetNumberOfLanes(), 1);

    CDoubleDataArray ladder;
    for (double w : {250.0, 150.0, 100.0, 75.0, 50.0, 37.0, 25.0, 20.0, 15.0, 10.0})
        ladder.Add(w);
    MWAssignments::ApplyLadder(*analysis->GetLanes(), 0, ladder);
    for (int b = 0; b < 3 && b < analysis->GetLane(2).GetNumberOfBands(); ++b)
        MWAssignments::AssignKnownValues(*analysis->GetLane(2).GetBand(b).getData(), 10.0 * (b + 1),
                                         0.0);
    analysis->CalculateAnalysisData();
    CalibrationPS sheet(nullptr, analysis, nullptr);
    sheet.show();
    shoot(&sheet, QStringLiteral("calibration-values"), false);
    sheet.Pages()->setCurrentIndex(2);
    shoot(&sheet, QStringLiteral("calibration-mw-graph"), false);
    sheet.Pages()->setCurrentIndex(1);
    shoot(&sheet, QStringLiteral("calibration-intensity-graph"), false);

    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("ladders.dat"));
    StorableMWStandard standard;
    standard.m_name = QStringLiteral("Protein ladder 10-250 kDa");
    standard.m_material = QStringLiteral("Protein");
    standard.m_units = QStringLiteral("kDa");
    standard.m_values = ladder;
    {
        MWLadderDialog adding(nullptr, library);
        adding.GetLibrary().Add(standard);
    } // saved as it closes
    MWLadderDialog ladders(nullptr, library);
    ASSERT_EQ(ladders.LadderList()->count(), 1);
    ladders.show();
    shoot(&ladders, QStringLiteral("ladder-selection"), false);
    MWEditDlg editor(nullptr, standard, QStringLiteral("Modify Molecular Weight Ladder"));
    editor.show();
    shoot(&editor, QStringLiteral("ladder-edit"), false);

    QStringList info;
    analysis->GetLane(0).GetBand(0).getData()->fillInInfo(info);
    TVRListDialog list(nullptr, QStringLiteral("Band info"), info);
    list.show();
    shoot(&list, QStringLiteral("band-info-list"), false);

    ApplicationOptionsPS options(nullptr, &m_doc.GetAnalysisOptions(), &m_doc);
    options.show();
    for (int page = 0; page < options.Pages()->count(); ++page) {
        options.Pages()->setCurrentIndex(page);
        shoot(&options, QStringLiteral("options-%1").arg(page), false);
    }
}

} // namespace
