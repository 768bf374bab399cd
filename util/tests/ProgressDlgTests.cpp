#include "util/ui/CListDlg.h"
#include "util/ui/CProgressDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(ProgressDlg, PercentTextFollowsTheIntegerRule)
{
    EXPECT_EQ(CProgressDlg::PercentText(150, 0, 200), "75%");
    EXPECT_EQ(CProgressDlg::PercentText(200, 0, 200), "100%");
    EXPECT_EQ(CProgressDlg::PercentText(0, 0, 200), "0%");
    EXPECT_EQ(CProgressDlg::PercentText(2, 0, 3), "66%"); // truncated, not rounded
    EXPECT_EQ(CProgressDlg::PercentText(15, 10, 20), "50%"); // from the lower bound
    EXPECT_EQ(CProgressDlg::PercentText(150, 0, 100), "50%"); // beyond 100: modulo 100
    EXPECT_EQ(CProgressDlg::PercentText(5, 5, 5), "100%"); // an empty range does not divide by 0
}

TEST(ProgressDlg, StepsShowTheirPercentageAndCancelIsPolled)
{
    QWidget owner;
    owner.show();
    CProgressDlg progress(QStringLiteral("Exporting"));
    ASSERT_EQ(progress.Create(&owner), 1);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.isEnabled()); // its Cancel button still works
    EXPECT_EQ(progress.windowTitle(), "Exporting");

    progress.SetRange(0, 200);
    EXPECT_EQ(progress.SetStep(50), 10);
    EXPECT_EQ(progress.SetPos(100), 0);
    EXPECT_EQ(progress.GetPercentLabel()->text(), "50%");
    EXPECT_EQ(progress.StepIt(), 100);
    EXPECT_EQ(progress.GetPercentLabel()->text(), "75%");
    EXPECT_EQ(progress.GetProgressBar()->value(), 150);
    EXPECT_EQ(progress.OffsetPos(50), 150);
    EXPECT_EQ(progress.GetPercentLabel()->text(), "100%");
    progress.SetStatus(QStringLiteral("Lane 3"));
    EXPECT_EQ(progress.GetStatusLabel()->text(), "Lane 3");

    EXPECT_EQ(progress.CheckCancelButton(), 0);
    progress.GetCancelButton()->click();
    EXPECT_TRUE(progress.isVisible()); // Cancel only raises the flag
    EXPECT_EQ(progress.CheckCancelButton(), 1);
    EXPECT_EQ(progress.CheckCancelButton(), 0); // read once

    progress.DestroyWindow();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(progress.isVisible());
}

TEST(ProgressDlg, AnOwnerDisabledBeforeStaysDisabled)
{
    QWidget owner;
    QWidget child(&owner);
    owner.setEnabled(false);
    {
        CProgressDlg progress;
        ASSERT_EQ(progress.Create(&child), 1);
        progress.DestroyWindow();
    }
    EXPECT_FALSE(owner.isEnabled());

    // A dialog destroyed while open gives the owner back.
    owner.setEnabled(true);
    {
        CProgressDlg progress;
        progress.Create(&child);
        EXPECT_FALSE(owner.isEnabled());
    }
    EXPECT_TRUE(owner.isEnabled());
}

TEST(ListDlg, SplitsNameValueLinesIntoTwoColumns)
{
    CListDlg dialog(QStringLiteral("Image info"),
                    {QStringLiteral("Width (pixels)|640"), QStringLiteral("Bits Per Pixel|16")});
    EXPECT_EQ(dialog.windowTitle(), "Image info");
    ASSERT_EQ(dialog.GetList()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.GetList()->columnCount(), 2);
    EXPECT_EQ(dialog.GetList()->topLevelItem(1)->text(0), "Bits Per Pixel");
    EXPECT_EQ(dialog.GetList()->topLevelItem(1)->text(1), "16");
}

} // namespace
