#include "tools/gelsynth/GelDescription.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <string>

namespace {

[[noreturn]] void fail(int line, const QString &what)
{
    throw GelDescriptionError(QStringLiteral("line %1: %2").arg(line).arg(what).toStdString());
}

double number(const QStringList &words, int i, int line)
{
    if (i >= words.size())
        fail(line, QStringLiteral("'%1' needs more values").arg(words.first()));
    bool ok = false;
    const double v = words[i].toDouble(&ok);
    if (!ok || !std::isfinite(v))
        fail(line, QStringLiteral("'%1' is not a number").arg(words[i]));
    return v;
}

int integer(const QStringList &words, int i, int line)
{
    const double v = number(words, i, line);
    if (v != std::floor(v) || std::fabs(v) > 1e9)
        fail(line, QStringLiteral("'%1' is not a whole number").arg(words[i]));
    return int(v);
}

void expectCount(const QStringList &words, int count, int line)
{
    if (words.size() != count)
        fail(line, QStringLiteral("'%1' takes %2 value(s)").arg(words.first()).arg(count - 1));
}

} // namespace

GelDescription GelDescription::parse(const QString &text)
{
    GelDescription d;
    int laneCount = -1;
    int current = -1; // lane that `band` lines belong to (0-based)
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const int line = n + 1;
        QString content = lines[n];
        const int hash = content.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            content.truncate(hash);
        const QStringList words
            = content.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString key = words.first().toLower();
        if (key == QLatin1String("size")) {
            expectCount(words, 3, line);
            d.width = integer(words, 1, line);
            d.height = integer(words, 2, line);
        } else if (key == QLatin1String("bits")) {
            expectCount(words, 2, line);
            d.bits = integer(words, 1, line);
        } else if (key == QLatin1String("bands")) {
            expectCount(words, 2, line);
            const QString tone = words[1].toLower();
            if (tone != QLatin1String("dark") && tone != QLatin1String("light"))
                fail(line, QStringLiteral("'bands' is 'dark' or 'light'"));
            d.darkBands = tone == QLatin1String("dark");
        } else if (key == QLatin1String("background")) {
            expectCount(words, 2, line);
            d.background = number(words, 1, line);
        } else if (key == QLatin1String("gradient")) {
            expectCount(words, 3, line);
            d.gradientX = number(words, 1, line);
            d.gradientY = number(words, 2, line);
        } else if (key == QLatin1String("noise")) {
            expectCount(words, 2, line);
            d.noise = number(words, 1, line);
        } else if (key == QLatin1String("smile")) {
            expectCount(words, 2, line);
            d.smile = number(words, 1, line);
        } else if (key == QLatin1String("edge")) {
            expectCount(words, 2, line);
            d.edge = number(words, 1, line);
        } else if (key == QLatin1String("seed")) {
            expectCount(words, 2, line);
            bool ok = false;
            d.seed = words[1].toULongLong(&ok);
            if (!ok)
                fail(line, QStringLiteral("'%1' is not a seed").arg(words[1]));
        } else if (key == QLatin1String("lanes")) {
            expectCount(words, 5, line);
            if (laneCount >= 0)
                fail(line, QStringLiteral("'lanes' given twice"));
            laneCount = integer(words, 1, line);
            d.laneWidth = integer(words, 2, line);
            d.laneSpacing = integer(words, 3, line);
            d.leftMargin = integer(words, 4, line);
            if (laneCount < 1 || laneCount > 1000)
                fail(line, QStringLiteral("lane count must be 1 to 1000"));
            d.lanes.assign(size_t(laneCount), GelLane());
        } else if (key == QLatin1String("lane")) {
            if (laneCount < 0)
                fail(line, QStringLiteral("'lane' before 'lanes'"));
            if (words.size() != 2
                && !(words.size() == 3 && words[2].toLower() == QLatin1String("ladder")))
                fail(line, QStringLiteral("'lane' takes a lane number and optionally 'ladder'"));
            const int lane = integer(words, 1, line);
            if (lane < 1 || lane > laneCount)
                fail(line, QStringLiteral("lane %1 does not exist").arg(lane));
            current = lane - 1;
            if (words.size() == 3)
                d.lanes[size_t(current)].ladder = true;
        } else if (key == QLatin1String("band")) {
            if (current < 0)
                fail(line, QStringLiteral("'band' outside a lane"));
            if (words.size() != 4 && words.size() != 5)
                fail(line,
                     QStringLiteral(
                         "'band' takes row, height, amount and optionally a molecular weight"));
            GelBand band;
            band.centre = number(words, 1, line);
            band.height = number(words, 2, line);
            band.amount = number(words, 3, line);
            if (words.size() == 5)
                band.molecularWeight = number(words, 4, line);
            if (band.height <= 0.0)
                fail(line, QStringLiteral("band height must be positive"));
            if (band.amount < 0.0)
                fail(line, QStringLiteral("band amount must not be negative"));
            d.lanes[size_t(current)].bands.push_back(band);
        } else {
            fail(line, QStringLiteral("unknown keyword '%1'").arg(words.first()));
        }
    }
    d.validate();
    return d;
}

GelDescription GelDescription::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw GelDescriptionError(QStringLiteral("cannot read %1").arg(path).toStdString());
    return parse(QString::fromUtf8(file.readAll()));
}

void GelDescription::validate() const
{
    auto bad = [](const QString &what) { throw GelDescriptionError(what.toStdString()); };
    if (width < 1 || height < 1 || width > 20000 || height > 20000)
        bad(QStringLiteral("picture size must be 1 to 20000 pixels each way"));
    if (bits != 8 && bits != 16)
        bad(QStringLiteral("bits must be 8 or 16"));
    if (noise < 0.0 || edge < 0.0)
        bad(QStringLiteral("noise and edge must not be negative"));
    if (lanes.empty())
        bad(QStringLiteral("no 'lanes' line"));
    if (laneWidth < 1 || laneSpacing < laneWidth || leftMargin < 0)
        bad(QStringLiteral("lanes need a positive width, a spacing of at least the width and a "
                           "margin of 0 or more"));
    if (laneRight(int(lanes.size()) - 1) > width)
        bad(QStringLiteral("the last lane ends at column %1, past the picture's width %2")
                .arg(laneRight(int(lanes.size()) - 1))
                .arg(width));
}
