#include "contracts/analysis/ui/GraphWnd.h"
#include "contracts/analysis/ui/ReportWnd.h"
#include "data/CIntDataArray.h"
#include "testsupport/XlsxReader.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void fill(ReportWnd &report)
{
    report.AddColumn("Lane", ReportWnd::kFormatCentered, 40);
    report.AddColumn("Hidden", ReportWnd::kFormatCentered, 0);
    report.AddColumn("Peak Area", ReportWnd::kFormatCentered, 75);
    const QStringList rows[]
        = {{"1", "x", "1,234.50"}, {" ", "y", "(0.5)"}, {"User defined", "z", "7"}};
    for (const QStringList &cells : rows) {
        const int row = report.AddRow();
        for (int c = 0; c < cells.size(); ++c)
            report.SetCellValue(row, c, cells[c]);
    }
    report.AdjustReportWindow();
}

// The table keeps its cells, aligns numbers right, copies the selected rows
// with Ctrl+C, and both exports carry the heading row and the visible columns.
TEST(ReportWnd, TableCopyAndExports)
{
    ReportWnd report;
    fill(report);
    ASSERT_EQ(report.getColumnCount(), 3);
    ASSERT_EQ(report.getRowCount(), 3);
    EXPECT_TRUE(report.GetTableView()->isColumnHidden(1));
    EXPECT_GE(report.GetTableView()->columnWidth(2), 75);
    QAbstractItemModel *model = report.GetTableView()->model();
    EXPECT_EQ(model->data(model->index(0, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model->data(model->index(2, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));

    report.SelectRow(0);
    report.SelectRow(2);
    EXPECT_EQ(report.GetSelectedRows(), QList<int>({0, 2}));
    report.show();
    report.GetTableView()->setFocus();
    QTest::keyClick(report.GetTableView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1\t1,234.50\nUser defined\t7\n");
    report.UnselectAllRows();
    EXPECT_TRUE(report.GetSelectedRows().isEmpty());

    EXPECT_EQ(report.AsciiText(),
              QByteArray("Lane\tPeak Area\r\n1\t1,234.50\r\n \t(0.5)\r\n"
                         "User defined\t7\r\n"));
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(report.ExportToExcel(dir.filePath("r.xlsx"), &error)) << error.toStdString();
    const XlsxSheet sheet = readXlsx(dir.filePath("r.xlsx"));
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.at("B1").text, "Peak Area");
    EXPECT_DOUBLE_EQ(sheet.at("B2").number(), 1234.5);
    EXPECT_DOUBLE_EQ(sheet.at("B3").number(), -0.5);
    EXPECT_EQ(sheet.at("A4").text, "User defined");
    EXPECT_FALSE(sheet.has("C1"));
    EXPECT_FALSE(sheet.has("A5"));

    // Footnotes go under the table after one empty row, in both exports.
    report.SetFootnotes({QStringLiteral("* extrapolated")});
    EXPECT_TRUE(report.AsciiText().endsWith("User defined\t7\r\n\r\n* extrapolated\r\n"));
    ASSERT_TRUE(report.ExportToExcel(dir.filePath("f.xlsx"), &error)) << error.toStdString();
    const XlsxSheet noted = readXlsx(dir.filePath("f.xlsx"));
    ASSERT_TRUE(noted.ok);
    EXPECT_FALSE(noted.has("A5"));
    EXPECT_EQ(noted.at("A6").text, "* extrapolated");
    EXPECT_FALSE(noted.has("A7"));
    report.SetFootnotes({});

    report.DeleteRow(1);
    EXPECT_EQ(report.GetCellValue(1, 0), "User defined");
    EXPECT_THROW(report.SetCellValue(5, 0, "x"), std::exception);
    report.DeleteAllItems();
    EXPECT_EQ(report.getRowCount(), 0);
    EXPECT_EQ(report.getColumnCount(), 3);
    report.DeleteAllColumns();
    EXPECT_EQ(report.getColumnCount(), 0);
}

// Zooming by dragging a rectangle maps the dragged data range onto the whole
// plot; zooming out gives the first mapping back.
TEST(GraphWnd, ZoomByDraggingAndBack)
{
    GraphWnd graph;
    GRAPHINFO info;
    info.xMax = 100;
    info.yMax = 1000;
    graph.SetParameters(&info);
    graph.resize(600, 400);
    graph.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    graph.repaint();
    const CRect plot = graph.GetDrawingRect();
    ASSERT_GT(plot.Width(), 100);
    CPoint top(100, 1000);
    graph.Data2Graph(top);
    EXPECT_EQ(top.x, plot.right);
    EXPECT_EQ(top.y, plot.top);

    // Drag over the middle of the plot.
    const QPoint from(plot.left + plot.Width() / 4, plot.top + plot.Height() / 4);
    const QPoint to(plot.left + plot.Width() * 3 / 4, plot.top + plot.Height() * 3 / 4);
    QTest::mousePress(&graph, Qt::LeftButton, {}, from);
    QTest::mouseMove(&graph, to);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
    ASSERT_TRUE(graph.IsZoomed());
    EXPECT_NEAR(graph.GetZoomOffset().x, 25, 1);
    EXPECT_NEAR(graph.GetZoomOffset().y, 250, 5);
    CPoint middle(50, 500);
    graph.Data2Graph(middle);
    EXPECT_NEAR(middle.x, (plot.left + plot.right) / 2, 2);
    EXPECT_NEAR(middle.y, (plot.top + plot.bottom) / 2, 2);

    QTest::keyClick(&graph, Qt::Key_Escape);
    EXPECT_FALSE(graph.IsZoomed());
    CPoint again(100, 1000);
    graph.Data2Graph(again);
    EXPECT_EQ(again.x, top.x);
    EXPECT_EQ(again.y, top.y);

    // Saved as PNG and SVG.
    QTemporaryDir dir;
    EXPECT_TRUE(graph.SaveAsPng(dir.filePath("g.png"), QSize(300, 200)));
    EXPECT_EQ(QImage(dir.filePath("g.png")).size(), QSize(300, 200));
    EXPECT_TRUE(graph.SaveAsSvg(dir.filePath("g.svg"), QSize(300, 200)));
    QFile svg(dir.filePath("g.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
}

} // namespace
