#include "tools/gelsynth/GelTruth.h"

#include "tools/gelsynth/GelDescription.h"
#include "platform/SaveFileCommit.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

const QString kHeader = QStringLiteral(
    "record\tlane\tleft\tright\tladder\tcentre\ttop\tbottom\tamount\tmolecular_weight");

QString num(double v)
{
    return QString::number(v, 'g', 15);
}

[[noreturn]] void fail(int line, const QString &what)
{
    throw GelDescriptionError(
        QStringLiteral("truth line %1: %2").arg(line).arg(what).toStdString());
}

} // namespace

const GelTruthLane *GelTruth::lane(int number) const
{
    for (const GelTruthLane &l : lanes)
        if (l.lane == number)
            return &l;
    return nullptr;
}

QString GelTruth::toText() const
{
    QString text
        = QStringLiteral("# gelsynth ground truth, seed %1; 0-based pixels, right is exclusive\n")
              .arg(seed);
    text += kHeader + QLatin1Char('\n');
    for (const GelTruthLane &l : lanes)
        text += QStringLiteral("lane\t%1\t%2\t%3\t%4\t\t\t\t\t\n")
                    .arg(l.lane)
                    .arg(l.left)
                    .arg(l.right)
                    .arg(l.ladder ? 1 : 0);
    for (const GelTruthBand &b : bands) {
        const GelTruthLane *l = lane(b.lane);
        text += QStringLiteral("band\t%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\n")
                    .arg(b.lane)
                    .arg(l ? l->left : 0)
                    .arg(l ? l->right : 0)
                    .arg(l && l->ladder ? 1 : 0)
                    .arg(QString::number(b.centre, 'f', 2))
                    .arg(b.top)
                    .arg(b.bottom)
                    .arg(num(b.amount))
                    .arg(b.molecularWeight > 0.0 ? num(b.molecularWeight) : QString());
    }
    return text;
}

GelTruth GelTruth::fromText(const QString &text)
{
    GelTruth truth;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.startsWith(QLatin1Char('#'))) {
            const int at = line.indexOf(QLatin1String("seed "));
            if (at >= 0)
                truth.seed = line.mid(at + 5).section(QLatin1Char(';'), 0, 0).toULongLong();
            continue;
        }
        if (line.isEmpty() || line == kHeader)
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != 10)
            fail(n + 1, QStringLiteral("expected 10 fields"));
        bool ok = true;
        auto toInt = [&](int i) {
            bool good = false;
            const int v = f[i].toInt(&good);
            ok = ok && good;
            return v;
        };
        auto toDouble = [&](int i) {
            bool good = false;
            const double v = f[i].toDouble(&good);
            ok = ok && good;
            return v;
        };
        if (f[0] == QLatin1String("lane")) {
            truth.lanes.push_back({toInt(1), toInt(2), toInt(3), toInt(4) != 0});
        } else if (f[0] == QLatin1String("band")) {
            GelTruthBand b;
            b.lane = toInt(1);
            b.centre = toDouble(5);
            b.top = toInt(6);
            b.bottom = toInt(7);
            b.amount = toDouble(8);
            b.molecularWeight = f[9].isEmpty() ? 0.0 : toDouble(9);
            truth.bands.push_back(b);
        } else {
            fail(n + 1, QStringLiteral("unknown record '%1'").arg(f[0]));
        }
        if (!ok)
            fail(n + 1, QStringLiteral("malformed number"));
    }
    return truth;
}

bool GelTruth::write(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(toText().toUtf8());
    return commitSaveFile(file, error);
}

GelTruth GelTruth::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw GelDescriptionError(QStringLiteral("cannot read %1").arg(path).toStdString());
    return fromText(QString::fromUtf8(file.readAll()));
}
