#include "cli/CliOptions.h"

#include "analysis1d/calibration/CalibrationManager.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool fail(QString *error, const QString &text)
{
    *error = text;
    return false;
}

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

// Handlers of the option table: 'name' as given, 'value' its value (empty for
// a flag). False with *error naming the problem.
using Handler
    = bool (*)(const QString &name, const QString &value, CliOptions *out, QString *error);

bool handleRect(const QString &name, const QString &value, std::optional<CRect> *field,
                QString *error)
{
    CRect rect;
    if (!parseRect(value, &rect))
        return fail(error,
                    QStringLiteral("%1 needs X,Y,W,H (whole pixels, W and H above 0), not '%2'")
                        .arg(name, value));
    *field = rect;
    return true;
}

bool handleSize(const QString &name, const QString &value, int *field, QString *error)
{
    int n = 0;
    if (!parseInt(value, &n) || n <= 0)
        return fail(error,
                    QStringLiteral("%1 needs a whole number above 0, not '%2'").arg(name, value));
    *field = n;
    return true;
}

bool handleRow(const QString &name, const QString &value, std::optional<int> *field, QString *error)
{
    int row = 0;
    if (!parseInt(value, &row) || row < 0)
        return fail(error,
                    QStringLiteral("%1 needs an image row (0 or more), not '%2'").arg(name, value));
    *field = row;
    return true;
}

bool handleFile(const QString &name, const QString &value, QString *field, QString *error)
{
    if (value.isEmpty())
        return fail(error, QStringLiteral("%1 needs a file name").arg(name));
    *field = value;
    return true;
}

// A handler above bound to the field it fills, for the table.
template<auto Handle, auto Field>
bool fieldOption(const QString &name, const QString &value, CliOptions *out, QString *error)
{
    return Handle(name, value, &(out->*Field), error);
}

template<auto Field> bool flagOption(const QString &, const QString &, CliOptions *out, QString *)
{
    out->*Field = true;
    return true;
}

bool handleSlider(const QString &, const QString &value, CliOptions *out, QString *error)
{
    int s = 0;
    if (!parseInt(value, &s) || s < 0 || s > 100)
        return fail(
            error,
            QStringLiteral("--slider needs a whole number from 0 to 100, not '%1'").arg(value));
    out->slider = s;
    return true;
}

bool handleThreshold(const QString &, const QString &value, CliOptions *out, QString *error)
{
    bool ok = false;
    const double t = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(t) || t <= 0.0 || t > 1.0)
        return fail(error,
                    QStringLiteral("--threshold needs a number above 0 and at most 1, not '%1'")
                        .arg(value));
    out->threshold = t;
    return true;
}

bool handleLadderLane(const QString &, const QString &value, CliOptions *out, QString *error)
{
    if (!parseInt(value, &out->ladderLane) || out->ladderLane <= 0)
        return fail(
            error, QStringLiteral("--ladder-lane needs a lane number from 1, not '%1'").arg(value));
    return true;
}

bool handleLadder(const QString &, const QString &value, CliOptions *out, QString *error)
{
    for (const QString &part : value.split(QLatin1Char(','))) {
        bool ok = false;
        const double w = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(w) || w <= 0.0)
            return fail(error,
                        QStringLiteral("--ladder needs molecular weights above 0 separated by "
                                       "commas, not '%1'")
                            .arg(value));
        out->ladder.append(w);
    }
    return true;
}

bool handleCurve(const QString &, const QString &value, CliOptions *out, QString *error)
{
    int type = 0;
    if (!parseCurve(value, &type))
        return fail(error,
                    QStringLiteral("--mw-curve must be none, linear, quadratic, cubic or log, "
                                   "not '%1'")
                        .arg(value));
    out->mwCurve = type;
    return true;
}

struct Option
{
    const char *name;
    // What the value is called in the help; null for a flag, which takes none.
    const char *argument;
    // Given to 'report' it is refused: it changes the analysis.
    bool analyzeOnly;
    Handler handle;
    // Lines after the first are continued under the first.
    const char *help;
};

// Every option of both commands, in the order of the help.
const Option kOptions[] = {
    {"--area", "X,Y,W,H", true, fieldOption<handleRect, &CliOptions::area>,
     "analysis area in picture pixels (default: the whole picture)"},
    {"--example-band", "X,Y,W,H", true, fieldOption<handleRect, &CliOptions::exampleBand>,
     "a rectangle around one typical band (lane width, band height)"},
    {"--lane-width", "N", true, fieldOption<handleSize, &CliOptions::laneWidth>,
     "instead of --example-band, with --band-height: an example band\n"
     "of that size centred in the area"},
    {"--band-height", "N", true, fieldOption<handleSize, &CliOptions::bandHeight>,
     "the height of that example band"},
    {"--dark", nullptr, true, flagOption<&CliOptions::dark>,
     "bands are darker than the background (stained gels)"},
    {"--slider", "S", true, handleSlider,
     "detection sensitivity 0 (less bands) .. 100 (more bands);\n"
     "default: the desktop program's last setting, else 50"},
    {"--threshold", "T", true, handleThreshold, "the peak-height threshold itself (0 < T <= 1)"},
    {"--wells", "ROW", true, fieldOption<handleRow, &CliOptions::wellsRow>,
     "loading wells centred on that picture row (default: none)"},
    {"--dye-front", "ROW", true, fieldOption<handleRow, &CliOptions::dyeFrontRow>,
     "dye front centred on that picture row (default: none)"},
    {"--ladder-lane", "N", true, handleLadderLane,
     "lane N (from 1) is a molecular-weight ladder (with --ladder)"},
    {"--ladder", "W1,W2,...", true, handleLadder, "the ladder's weights, top band first"},
    {"--mw-curve", "C", true, handleCurve,
     "molecular-weight curve: none, linear (default), quadratic,\n"
     "cubic, log"},
    {"--template", "FILE.ovl", true, fieldOption<handleFile, &CliOptions::templateFile>,
     "apply an overlay template to each picture, as Load Overlay\n"
     "does: it brings the analysis area, example band, tone,\n"
     "wells, dye front and drawn bands (instead of those options)"},
    {"--save", "FILE.dsr", true, fieldOption<handleFile, &CliOptions::saveFile>,
     "save the analysis as a Densora document; with --out give no\n"
     "FILE: each picture's document is DIR/NAME.dsr"},
    {"--out", "DIR", true, fieldOption<handleFile, &CliOptions::outDir>,
     "one report per picture, DIR/NAME.tsv (NAME.json with --json),\n"
     "for any number of pictures and folders (their pictures);\n"
     "a summary line per picture on standard output"},
    {"--quiet", nullptr, true, flagOption<&CliOptions::quiet>,
     "no progress line per picture on standard error"},
    {"--report", "FILE", false, fieldOption<handleFile, &CliOptions::reportFile>,
     "to FILE instead (CSV when FILE ends in .csv, a workbook\n"
     "when it ends in .xlsx)"},
    {"--profiles", "FILE", false, fieldOption<handleFile, &CliOptions::profilesFile>,
     "lane profiles, tab-separated, one line per lane (a workbook\n"
     "with a column per lane when FILE ends in .xlsx)"},
    {"--pdf", "FILE", false, fieldOption<handleFile, &CliOptions::pdfFile>,
     "the analysis report as PDF: the gel with its lanes, the table,\n"
     "the lane graphs, the calibrations, warnings and methods"},
    {"--json", nullptr, false, flagOption<&CliOptions::json>,
     "one JSON document on standard output instead of the TSV"},
};

const Option *findOption(const QString &name)
{
    for (const Option &option : kOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

// The column where the help texts start.
constexpr int kHelpColumn = 20;

QString helpLines(const QString &head, const char *help)
{
    const QString indent(kHelpColumn, QLatin1Char(' '));
    const QStringList lines = QString::fromLatin1(help).split(QLatin1Char('\n'));
    QString text = head.size() < kHelpColumn ? head.leftJustified(kHelpColumn)
                                             : head + QLatin1Char('\n') + indent;
    text += lines.first() + QLatin1Char('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        text += indent + lines[i] + QLatin1Char('\n');
    return text;
}

QString optionHelp(bool analyzeOnly)
{
    QString text;
    for (const Option &option : kOptions) {
        if (option.analyzeOnly != analyzeOnly)
            continue;
        QString head = QStringLiteral("  ") + QLatin1String(option.name);
        if (option.argument)
            head += QLatin1Char(' ') + QLatin1String(option.argument);
        text += helpLines(head, option.help);
    }
    return text;
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
        "                   [--report FILE] [--profiles FILE] [--save FILE.dsr] [--pdf FILE]\n"
        "                   [--json]\n"
        "       densora-cli analyze IMAGE --template FILE.ovl [--slider S | --threshold T]\n"
        "                   [--ladder-lane N --ladder W1,W2,...] [--mw-curve C] [--report FILE]\n"
        "                   [--profiles FILE] [--save FILE.dsr] [--pdf FILE] [--json]\n"
        "       densora-cli analyze IMAGE|FOLDER... --out DIR [--save] [--quiet] [--json]\n"
        "                   (--template FILE.ovl | the shapes above) and the detection\n"
        "                   and ladder options above\n"
        "       densora-cli report DOC.dsr [--report FILE] [--profiles FILE] [--pdf FILE]\n"
        "                   [--json]\n"
        "       densora-cli --help | --version\n");
}

QString CliOptions::HelpText()
{
    return UsageText()
        + QStringLiteral("\nFinds the lanes and bands of a 1D gel picture and measures them, "
                         "without a display.\n\n")
        + helpLines(QStringLiteral("analyze IMAGE"), "analyse a picture (TIFF, PNG, JPEG, BMP ...)")
        + optionHelp(true)
        + helpLines(QStringLiteral("report DOC.dsr"), "the results of a saved analysis")
        + QStringLiteral("\nOutput (both commands):\n"
                         "  the band report of all lanes with every column as TSV on standard "
                         "output;\n")
        + optionHelp(false)
        + QStringLiteral(
               "\nPositions in the report and the JSON document are analysis pixels: rows and\n"
               "columns counted from the analysis area's top-left corner.\n"
               "\nWith --out the pictures are analysed one after the other; one that fails is\n"
               "reported with its reason and the others go on. The summary has a line per\n"
               "picture: Picture, Lanes, Bands, Report, Document (with --save), Result.\n"
               "\nExit status: 0 success, 1 unreadable input or unwritable output (with --out:\n"
               "at least one picture failed), 2 bad arguments.\n");
}

bool CliOptions::Parse(const QStringList &arguments, CliOptions *out, QString *error)
{
    *out = CliOptions();
    if (arguments.isEmpty())
        return fail(error, QStringLiteral("no command given"));

    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out->command = Command::Help;
        return arguments.size() == 1 || fail(error, QStringLiteral("--help takes no arguments"));
    }
    if (first == QLatin1String("--version")) {
        out->command = Command::Version;
        return arguments.size() == 1 || fail(error, QStringLiteral("--version takes no arguments"));
    }
    if (first == QLatin1String("analyze"))
        out->command = Command::Analyze;
    else if (first == QLatin1String("report"))
        out->command = Command::Report;
    else
        return fail(error, QStringLiteral("unknown command '%1'").arg(first));
    const bool analyze = out->command == Command::Analyze;
    // With --out, --save names no file (each picture's document is named after
    // it), so it must be known before --save is read.
    const bool batch
        = analyze && std::any_of(arguments.begin() + 1, arguments.end(), [](const QString &a) {
              return a == QLatin1String("--out") || a.startsWith(QLatin1String("--out="));
          });

    QStringList seen;
    for (int i = 1; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!out->input.isEmpty() && !analyze)
                return fail(error, QStringLiteral("unexpected argument '%1'").arg(arg));
            if (arg.isEmpty())
                return fail(error, QStringLiteral("empty file name"));
            if (out->input.isEmpty())
                out->input = arg;
            out->inputs.append(arg);
            continue;
        }
        if (batch && arg == QLatin1String("--save")) {
            if (seen.contains(arg))
                return fail(error, QStringLiteral("%1 given twice").arg(arg));
            seen.append(arg);
            out->saveEach = true;
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
            return fail(error, QStringLiteral("%1 given twice").arg(arg));
        seen.append(arg);

        // An unknown option is taken to have a value, so the message names
        // the option rather than its value.
        const Option *option = findOption(arg);
        if (option && !option->argument) {
            if (inlineValue)
                return fail(error, QStringLiteral("%1 takes no value").arg(arg));
        } else if (!inlineValue) {
            if (i + 1 >= arguments.size())
                return fail(error, QStringLiteral("%1 needs a value").arg(arg));
            value = arguments[++i];
        }
        if (!option)
            return fail(error, QStringLiteral("unknown option '%1'").arg(arg));
        if (option->analyzeOnly && !analyze)
            return fail(error, QStringLiteral("%1 belongs to 'analyze', not to 'report'").arg(arg));
        if (!option->handle(arg, value, out, error))
            return false;
    }

    if (out->input.isEmpty())
        return fail(error,
                    analyze ? QStringLiteral("no image given")
                            : QStringLiteral("no document given"));
    if (!analyze)
        return true;

    if (out->inputs.size() > 1 && !batch)
        return fail(error,
                    QStringLiteral("unexpected argument '%1': several pictures need --out DIR "
                                   "for their reports")
                        .arg(out->inputs[1]));
    if (batch) {
        const bool documentNamed
            = std::any_of(out->inputs.begin(), out->inputs.end(), [](const QString &a) {
                  return a.endsWith(QLatin1String(".dsr"), Qt::CaseInsensitive);
              });
        if (!out->saveFile.isEmpty() || documentNamed)
            return fail(error,
                        QStringLiteral("with --out, --save takes no file name: each picture's "
                                       "document is DIR/NAME.dsr"));
        for (const char *single : {"--report", "--profiles", "--pdf"}) {
            if (seen.contains(QLatin1String(single)))
                return fail(error,
                            QStringLiteral("%1 names one file; with --out each picture has its "
                                           "report in DIR")
                                .arg(QLatin1String(single)));
        }
    }
    const bool fromTemplate = !out->templateFile.isEmpty();
    if (fromTemplate) {
        // The template places these shapes itself.
        for (const char *shape : {"--area", "--example-band", "--lane-width", "--band-height",
                                  "--dark", "--wells", "--dye-front"}) {
            if (seen.contains(QLatin1String(shape)))
                return fail(error,
                            QStringLiteral("%1 and --template do not go together: the template "
                                           "places the analysis shapes and sets the tone")
                                .arg(QLatin1String(shape)));
        }
    }

    const bool sizes = out->laneWidth > 0 || out->bandHeight > 0;
    if (out->exampleBand && sizes)
        return fail(error,
                    QStringLiteral("give either --example-band or --lane-width and "
                                   "--band-height, not both"));
    if (!fromTemplate && !out->exampleBand && !(out->laneWidth > 0 && out->bandHeight > 0))
        return fail(error,
                    sizes ? QStringLiteral("--lane-width and --band-height go together")
                          : QStringLiteral("the example band is required: --example-band "
                                           "X,Y,W,H or --lane-width N --band-height N"));
    if (out->slider && out->threshold)
        return fail(error, QStringLiteral("give either --slider or --threshold, not both"));
    if ((out->ladderLane > 0) != !out->ladder.isEmpty())
        return fail(error, QStringLiteral("--ladder-lane and --ladder go together"));
    if (out->wellsRow && out->dyeFrontRow && *out->wellsRow >= *out->dyeFrontRow)
        return fail(error,
                    QStringLiteral("the loading wells (--wells) must lie above the dye "
                                   "front (--dye-front)"));
    if (!out->saveFile.isEmpty()
        && !out->saveFile.endsWith(QLatin1String(".dsr"), Qt::CaseInsensitive))
        return fail(error, QStringLiteral("--save needs a file name ending in .dsr"));
    return true;
}
