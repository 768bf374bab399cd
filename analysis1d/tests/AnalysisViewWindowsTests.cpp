// The windows behind the analysis view's seams: the prompt window of the lane
// and band tools, "Analysis Print Options" and the tools' cursors.

#include "analysis1d/ui/AnalysisCursors.h"
#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"
#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(AddLaneBandDlgTest, ShowsThePromptAndDoneEndsTheToolOnce)
{
    int done = 0;
    AddLaneBandDlg dialog;
    dialog.SetOnDone([&] { ++done; });
    const QString prompt = QStringLiteral(
        "Please click on the location where you want a Lane to be added.\n  Click 'Done' to exit");
    dialog.SetPrompt(prompt);
    dialog.show();
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.PromptLabel()->text(), prompt);
    EXPECT_EQ(dialog.DoneButton()->text(), QStringLiteral("Done"));
    EXPECT_TRUE(dialog.PromptLabel()->isVisible());

    QTest::mouseClick(dialog.DoneButton(), Qt::LeftButton);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(dialog.isVisible());
    // Closing it afterwards (or pressing again) does not end the tool twice.
    dialog.reject();
    dialog.OnDone();
    EXPECT_EQ(done, 1);

    // The band-edit tool has no prompt: the label goes, "Done" stays.
    AddLaneBandDlg edit;
    edit.SetPrompt(QString());
    edit.show();
    EXPECT_FALSE(edit.PromptLabel()->isVisible());
    EXPECT_TRUE(edit.DoneButton()->isVisible());
}

TEST(AddLaneBandDlgTest, EscapeCountsAsDoneAndTheCallbackMayDeleteTheDialog)
{
    int done = 0;
    auto *dialog = new AddLaneBandDlg;
    dialog->SetOnDone([&] {
        ++done;
        dialog->deleteLater();
    });
    dialog->show();
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(done, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AnalysisPrintOptionsDlgTest, BoxesStartUncheckedAndFollowTheResultWindows)
{
    AnalysisPrintOptionsDlg closedPane(nullptr, false, false);
    EXPECT_EQ(closedPane.windowTitle(), QStringLiteral("Analysis Print Options"));
    EXPECT_EQ(closedPane.ImageBox()->text(), QStringLiteral("Print Image"));
    EXPECT_EQ(closedPane.ReportBox()->text(), QStringLiteral("Print Report"));
    EXPECT_EQ(closedPane.GraphBox()->text(), QStringLiteral("Print Graph"));
    for (QCheckBox *box : {closedPane.ImageBox(), closedPane.ReportBox(), closedPane.GraphBox()})
        EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
    EXPECT_TRUE(closedPane.ImageBox()->isEnabled());
    EXPECT_FALSE(closedPane.ReportBox()->isEnabled());
    EXPECT_FALSE(closedPane.GraphBox()->isEnabled());
    // A disabled box never prints, even when set from code.
    closedPane.ReportBox()->setChecked(true);
    EXPECT_FALSE(closedPane.PrintReport());

    AnalysisPrintOptionsDlg open(nullptr, true, true);
    auto *ok = open.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    ASSERT_NE(ok, nullptr);
    // Nothing checked prints nothing: OK waits for a choice.
    EXPECT_FALSE(ok->isEnabled());
    open.show();
    QTest::mouseClick(open.GraphBox(), Qt::LeftButton, {}, QPoint(5, open.GraphBox()->height() / 2));
    EXPECT_TRUE(open.GraphBox()->isChecked());
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(open.PrintGraph());
    EXPECT_FALSE(open.PrintImage());
    EXPECT_FALSE(open.PrintReport());
}

TEST(AnalysisCursorsTest, EachToolCursorIsItsOwnPictureWithTheArrowTipAsHotSpot)
{
    QSet<QByteArray> seen;
    for (int id : {AnalysisCursors::kAddLane, AnalysisCursors::kAddBand,
                   AnalysisCursors::kDeleteBand, AnalysisCursors::kDeleteLane}) {
        const QPixmap picture = AnalysisCursors::Picture(id);
        ASSERT_FALSE(picture.isNull()) << id;
        EXPECT_EQ(picture.size(), QSize(32, 32));
        const QImage image = picture.toImage();
        // Transparent around, the black arrow at the tip, the sign in colour.
        EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0) << id;
        EXPECT_GT(qAlpha(image.pixel(2, 6)), 200) << id;
        const QRgb sign = image.pixel(26, 10);
        EXPECT_GT(qAlpha(sign), 200) << id;
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));

        const QCursor cursor = AnalysisCursors::Cursor(id);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), QPoint(1, 1));
    }
    EXPECT_EQ(seen.size(), 4);
    EXPECT_TRUE(AnalysisCursors::Picture(12091).isNull());
    EXPECT_EQ(AnalysisCursors::Cursor(12096).shape(), Qt::ArrowCursor);
}

} // namespace
