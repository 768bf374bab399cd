#include "cli/CliOptions.h"

#include "analysis1d/calibration/CalibrationManager.h"

#include <cmath>
#include <limits>

namespace {

bool parseInt(const QString &text, int *value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

// X,Y,W,H with W and H above 0, X and Y not negative.
bool parseRect(const QString &text, CRect *rect)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        if (!parseInt(parts[i], &v[i]))
            return false;
    }
    if (v[0] < 0 || v[1] < 0 || v[2] <= 0 || v[3] <= 0)
        return false;
    // Guard the right and bottom edges against overflow.
    if (v[0] > std::numeric_limits<int>::max() - v[2]
        || v[1] > std::numeric_limits<int>::max() - v[3])
        return false;
    *rect = CRect(v[0], v[1], v[0] + v[2], v[1] + v[3]);
    return true;
}

bool parseCurve(const QString &text, int *type)
{
    static const struct
    {
        const char *name;
        int type;
    } curves[] = {
        {"none", CalibrationManager::CurveNone},
        {"linear", CalibrationManager::CurveLinear},
        {"quadratic", CalibrationManager::CurveSecondOrder},
        {"cubic", CalibrationManager::CurveThirdOrder},
        {"log", CalibrationManager::CurveLogarithmic},
    };
    for (const auto &curve : curves) {
        if (text == QLatin1String(curve.name)) {
            *type = curve.type;
            return true;
        }
    }
    return false;
}

} // namespace

QString CliOptions::UsageText()
{
    return QStringLiteral(
        "Usage: densora-cli analyze IMAGE [--area X,Y,W,H]\n"
        "                   (--example-band X,Y,W,H | --lane-width N --band-height N)\n"
        "                   [--dark] [--slider S | --threshold T] [--wells ROW] [--dye-front ROW]\n"
        "                   [--ladder-lane N --ladder W1,W2,...]\n"
        "                   [--mw-curve none|linear|quadratic|cubic|log]\n"
        "                   [--report FILE] [--profiles FILE] [--save FILE.dsr] [--json]\n"
        "       densora-cli report DOC.dsr [--report FILE] [--profiles FILE] [--json]\n"
        "       densora-cli --help | --version\n");
}

bool CliOptions::Parse(const QStringList &arguments, CliOptions *out, QString *error)
{
    *out = CliOptions();
    auto fail = [error](const QString &text) {
        *error = text;
        return false;
    };
    if (arguments.isEmpty())
        return fail(QStringLiteral("no command given"));

    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out->command = Command::Help;
        return arguments.size() == 1 ? true : fail(QStringLiteral("--help takes no arguments"));
    }
    if (first == QLatin1String("--version")) {
        out->command = Command::Version;
        return arguments.size() == 1 ? true : fail(QStringLiteral("--version takes no arguments"));
    }
    if (first == QLatin1String("analyze"))
        out->command = Command::Analyze;
    else if (first == QLatin1String("report"))
        out->command = Command::Report;
    else
        return fail(QStringLiteral("unknown command '%1'").arg(first));
    const bool analyze = out->command == Command::Analyze;

    QStringList seen;
    for (int i = 1; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!out->input.isEmpty())
                return fail(QStringLiteral("unexpected argument '%1'").arg(arg));
            if (arg.isEmpty())
                return fail(QStringLiteral("empty file name"));
            out->input = arg;
            continue;
        }
        // --name=value and --name value are both accepted.
        QString value;
        bool inlineValue = false;
        const int eq = arg.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            inlineValue = true;
        }
        if (seen.contains(arg))
            return fail(QStringLiteral("%1 given twice").arg(arg));
        seen.append(arg);

        const bool isFlag = arg == QLatin1String("--dark") || arg == QLatin1String("--json");
        if (isFlag) {
            if (inlineValue)
                return fail(QStringLiteral("%1 takes no value").arg(arg));
        } else if (!inlineValue) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("%1 needs a value").arg(arg));
            value = arguments[++i];
        }

        const bool analyzeOnly = arg != QLatin1String("--report")
            && arg != QLatin1String("--profiles") && arg != QLatin1String("--json");
        if (analyzeOnly && !analyze
            && (arg == QLatin1String("--area") || arg == QLatin1String("--example-band")
                || arg == QLatin1String("--lane-width") || arg == QLatin1String("--band-height")
                || arg == QLatin1String("--dark") || arg == QLatin1String("--slider")
                || arg == QLatin1String("--threshold") || arg == QLatin1String("--wells")
                || arg == QLatin1String("--dye-front") || arg == QLatin1String("--ladder-lane")
                || arg == QLatin1String("--ladder") || arg == QLatin1String("--mw-curve")
                || arg == QLatin1String("--save")))
            return fail(QStringLiteral("%1 belongs to 'analyze', not to 'report'").arg(arg));

        if (arg == QLatin1String("--dark")) {
            out->dark = true;
        } else if (arg == QLatin1String("--json")) {
            out->json = true;
        } else if (arg == QLatin1String("--area") || arg == QLatin1String("--example-band")) {
            CRect rect;
            if (!parseRect(value, &rect))
                return fail(QStringLiteral("%1 needs X,Y,W,H (whole pixels, W and H above 0), "
                                           "not '%2'")
                                .arg(arg, value));
            (arg == QLatin1String("--area") ? out->area : out->exampleBand) = rect;
        } else if (arg == QLatin1String("--lane-width") || arg == QLatin1String("--band-height")) {
            int n = 0;
            if (!parseInt(value, &n) || n <= 0)
                return fail(
                    QStringLiteral("%1 needs a whole number above 0, not '%2'").arg(arg, value));
            (arg == QLatin1String("--lane-width") ? out->laneWidth : out->bandHeight) = n;
        } else if (arg == QLatin1String("--slider")) {
            int s = 0;
            if (!parseInt(value, &s) || s < 0 || s > 100)
                return fail(QStringLiteral("--slider needs a whole number from 0 to 100, not '%1'")
                                .arg(value));
            out->slider = s;
        } else if (arg == QLatin1String("--threshold")) {
            bool ok = false;
            const double t = value.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(t) || t <= 0.0 || t > 1.0)
                return fail(QStringLiteral("--threshold needs a number above 0 and at most 1, "
                                           "not '%1'")
                                .arg(value));
            out->threshold = t;
        } else if (arg == QLatin1String("--wells") || arg == QLatin1String("--dye-front")) {
            int row = 0;
            if (!parseInt(value, &row) || row < 0)
                return fail(
                    QStringLiteral("%1 needs an image row (0 or more), not '%2'").arg(arg, value));
            (arg == QLatin1String("--wells") ? out->wellsRow : out->dyeFrontRow) = row;
        } else if (arg == QLatin1String("--ladder-lane")) {
            if (!parseInt(value, &out->ladderLane) || out->ladderLane <= 0)
                return fail(QStringLiteral("--ladder-lane needs a lane number from 1, not '%1'")
                                .arg(value));
        } else if (arg == QLatin1String("--ladder")) {
            for (const QString &part : value.split(QLatin1Char(','))) {
                bool ok = false;
                const double w = part.trimmed().toDouble(&ok);
                if (!ok || !std::isfinite(w) || w <= 0.0)
                    return fail(QStringLiteral("--ladder needs molecular weights above 0 "
                                               "separated by commas, not '%1'")
                                    .arg(value));
                out->ladder.append(w);
            }
        } else if (arg == QLatin1String("--mw-curve")) {
            int type = 0;
            if (!parseCurve(value, &type))
                return fail(QStringLiteral("--mw-curve must be none, linear, quadratic, cubic or "
                                           "log, not '%1'")
                                .arg(value));
            out->mwCurve = type;
        } else if (arg == QLatin1String("--report") || arg == QLatin1String("--profiles")
                   || arg == QLatin1String("--save")) {
            if (value.isEmpty())
                return fail(QStringLiteral("%1 needs a file name").arg(arg));
            if (arg == QLatin1String("--report"))
                out->reportFile = value;
            else if (arg == QLatin1String("--profiles"))
                out->profilesFile = value;
            else
                out->saveFile = value;
        } else {
            return fail(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }

    if (out->input.isEmpty())
        return fail(analyze ? QStringLiteral("no image given")
                            : QStringLiteral("no document given"));
    if (!analyze)
        return true;

    const bool sizes = out->laneWidth > 0 || out->bandHeight > 0;
    if (out->exampleBand && sizes)
        return fail(QStringLiteral("give either --example-band or --lane-width and "
                                   "--band-height, not both"));
    if (!out->exampleBand && !(out->laneWidth > 0 && out->bandHeight > 0))
        return fail(sizes ? QStringLiteral("--lane-width and --band-height go together")
                          : QStringLiteral("the example band is required: --example-band "
                                           "X,Y,W,H or --lane-width N --band-height N"));
    if (out->slider && out->threshold)
        return fail(QStringLiteral("give either --slider or --threshold, not both"));
    if ((out->ladderLane > 0) != !out->ladder.isEmpty())
        return fail(QStringLiteral("--ladder-lane and --ladder go together"));
    if (out->wellsRow && out->dyeFrontRow && *out->wellsRow >= *out->dyeFrontRow)
        return fail(QStringLiteral("the loading wells (--wells) must lie above the dye front "
                                   "(--dye-front)"));
    if (!out->saveFile.isEmpty()
        && !out->saveFile.endsWith(QLatin1String(".dsr"), Qt::CaseInsensitive))
        return fail(QStringLiteral("--save needs a file name ending in .dsr"));
    return true;
}
