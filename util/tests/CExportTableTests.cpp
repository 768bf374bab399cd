#include "util/CExportTable.h"

#include "testsupport/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CExportTable, ColumnReferencesGoPastZ)
{
    EXPECT_EQ(CExportTable::ColumnName(1), "A");
    EXPECT_EQ(CExportTable::ColumnName(26), "Z");
    EXPECT_EQ(CExportTable::ColumnName(27), "AA");
    EXPECT_EQ(CExportTable::ColumnName(28), "AB");
    EXPECT_EQ(CExportTable::ColumnName(52), "AZ");
    EXPECT_EQ(CExportTable::ColumnName(53), "BA");
    EXPECT_EQ(CExportTable::ColumnName(702), "ZZ");
    EXPECT_EQ(CExportTable::ColumnName(703), "AAA");
    EXPECT_EQ(CExportTable::ColumnName(16384), "XFD");
    EXPECT_EQ(CExportTable::ColumnName(0), "");
    EXPECT_EQ(CExportTable::CellReference(31, 221), "AE221");
}

TEST(CExportTable, NumbersAsTheReportShowsThem)
{
    double v = 0.0;
    EXPECT_TRUE(CExportTable::NumberFromText("1,234.50", &v));
    EXPECT_DOUBLE_EQ(v, 1234.5);
    EXPECT_TRUE(CExportTable::NumberFromText("(0.5)", &v));
    EXPECT_DOUBLE_EQ(v, -0.5);
    EXPECT_TRUE(CExportTable::NumberFromText("-3", &v));
    EXPECT_DOUBLE_EQ(v, -3.0);
    EXPECT_TRUE(CExportTable::NumberFromText("12345", &v));
    EXPECT_DOUBLE_EQ(v, 12345.0);
    v = 7.0;
    for (const char *text :
         {"", " ", "User defined", "1.2.3", "12,34", "1e5", "nan", "inf", "(-1)"})
        EXPECT_FALSE(CExportTable::NumberFromText(QString::fromLatin1(text), &v)) << text;
    EXPECT_DOUBLE_EQ(v, 7.0);
}

// Thirty lanes in thirty-one columns, as the lane graph exports them: every
// column past Z must arrive, with numbers as numbers and labels as texts.
TEST(CExportTable, ThirtyLanesReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lanes.xlsx");
    {
        CExportTable table(path);
        ASSERT_EQ(table.IsExportable(), 1);
        table.SetCell(1, 1, QStringLiteral("All Lanes"));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(table.SetCell(1, i + 2, double(i)), 1);
        for (int lane = 0; lane < 30; ++lane) {
            table.SetCell(lane + 2, 1, QStringLiteral("Lane %1").arg(lane + 1));
            for (int i = 0; i < 3; ++i)
                table.SetCell(lane + 2, i + 2, double(lane * 100 + i));
        }
        EXPECT_EQ(table.SetCell(0, 1, 1.0), 0);
        EXPECT_EQ(table.SetCell(1, 0, QStringLiteral("x")), 0);
        EXPECT_EQ(table.SetCell(CExportTable::kMaxColumn + 1, 1, 1.0), 0);
        QString error;
        ASSERT_TRUE(table.Close(&error)) << error.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path + ".part"));
    const XlsxSheet sheet = readXlsx(path);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.at("A1").text, "All Lanes");
    EXPECT_TRUE(sheet.at("A4").isNumber);
    EXPECT_EQ(sheet.at("A4").number(), 2.0);
    EXPECT_EQ(sheet.at("Z1").text, "Lane 25");
    EXPECT_EQ(sheet.at("AA1").text, "Lane 26");
    EXPECT_EQ(sheet.at("AE1").text, "Lane 30");
    EXPECT_FALSE(sheet.at("AE1").isNumber);
    EXPECT_TRUE(sheet.at("AE4").isNumber);
    EXPECT_EQ(sheet.at("AE4").number(), 2902.0);
    EXPECT_EQ(sheet.at("AB3").number(), 2601.0);
    EXPECT_EQ(sheet.cells.size(), 1 + 3 + 30 * 4);
}

// The shared table layout: headings, then the rows; blank cells stay empty.
TEST(CExportTable, TableLayoutAndFailures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.xlsx");
    {
        CExportTable table(path);
        table.WriteTable({"Lane", "Band", "Peak Area"},
                         {{"1", "1", "1,234.50"}, {" ", "2", "(0.5)"}, {"User defined", "1", "7"}});
    }
    const XlsxSheet sheet = readXlsx(path);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.at("C1").text, "Peak Area");
    EXPECT_TRUE(sheet.at("C2").isNumber);
    EXPECT_DOUBLE_EQ(sheet.at("C2").number(), 1234.5);
    EXPECT_DOUBLE_EQ(sheet.at("C3").number(), -0.5);
    EXPECT_FALSE(sheet.has("A3"));
    EXPECT_EQ(sheet.at("A4").text, "User defined");
    EXPECT_TRUE(sheet.at("B4").isNumber);

    // A folder that does not exist: nothing is exported, the failure is told.
    CExportTable missing(dir.filePath("no-such-folder/x.xlsx"));
    EXPECT_EQ(missing.IsExportable(), 0);
    EXPECT_EQ(missing.SetCell(1, 1, 1.0), 0);
    QString error;
    EXPECT_FALSE(missing.Close(&error));
    EXPECT_FALSE(error.isEmpty());

    // A target that cannot be replaced (here a folder) stays as it was and
    // no partial file is left behind.
    const QString folder = dir.filePath("taken.xlsx");
    ASSERT_TRUE(QDir().mkdir(folder));
    {
        CExportTable blocked(folder);
        EXPECT_EQ(blocked.SetCell(1, 1, 1.0), 1);
        EXPECT_FALSE(blocked.Close(&error));
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFile::exists(folder + ".part"));
}

} // namespace
