// Members that waited for a window were marked with a comment starting with
// three '>' while the window layer was being written. Every window exists now:
// a mark left anywhere in the sources is work left undone.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Folders that are not our sources: build trees, version control, fuzz corpora.
bool skipped(const QString &relative)
{
    static const QStringList prefixes = {QStringLiteral("build"), QStringLiteral(".git"),
                                         QStringLiteral("fuzz/corpus"),
                                         QStringLiteral("fuzz/reproducers")};
    for (const QString &prefix : prefixes) {
        if (relative == prefix || relative.startsWith(prefix))
            return true;
    }
    return false;
}

// The three '>' right after "//", "/*" or a block comment's leading "*": the
// mark only counts in a comment, so nested template brackets never do.
QStringList marksIn(const QString &path)
{
    static const QRegularExpression mark(QStringLiteral("(//|/\\*|^\\s*\\*)\\s*%1")
                                             .arg(QString(3, QLatin1Char('>'))));
    QFile file(path);
    QStringList found;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return found;
    int line = 0;
    while (!file.atEnd()) {
        const QString text = QString::fromUtf8(file.readLine());
        ++line;
        if (mark.match(text).hasMatch())
            found << QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(text.trimmed());
    }
    return found;
}

TEST(WindowSeamMarks, NoMarkIsLeftInTheSources)
{
    const QString root = qEnvironmentVariableIsSet("DENSORA_SOURCE_DIR")
        ? qEnvironmentVariable("DENSORA_SOURCE_DIR")
        : QStringLiteral(".");
    const QDir top(root);
    ASSERT_TRUE(top.exists(QStringLiteral("analysis1d/engine/Analysis1D.h")))
        << "not the source tree: " << root.toStdString();

    int scanned = 0;
    QStringList marks;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (skipped(top.relativeFilePath(path)))
            continue;
        ++scanned;
        marks << marksIn(path);
    }
    EXPECT_GT(scanned, 200) << "too few sources found under " << root.toStdString();
    EXPECT_TRUE(marks.isEmpty()) << marks.join(QLatin1Char('\n')).toStdString();
}

// The scan itself finds a mark where one is.
TEST(WindowSeamMarks, AMarkInACommentIsFoundAndTemplatesAreNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString arrows(3, QLatin1Char('>'));
    const QString path = dir.filePath(QStringLiteral("marked.cpp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write(QStringLiteral("std::vector<std::vector<std::pair<int, int%1 nested;\n"
                              "void f()\n{\n    // %1 waits for its window\n}\n"
                              "/*\n * %1 in a block comment\n */\n")
                   .arg(arrows)
                   .toUtf8());
    file.close();
    const QStringList marks = marksIn(path);
    ASSERT_EQ(marks.size(), 2) << marks.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(marks[0].contains(QStringLiteral(":4:")));
    EXPECT_TRUE(marks[1].contains(QStringLiteral(":7:")));
}

} // namespace
