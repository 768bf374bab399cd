#include "cli/CliCommand.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisReportPdf.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/LaneProfileExport.h"
#include "analysis1d/engine/ReportTable.h"
#include "cli/AnalysisJson.h"
#include "cli/BatchAnalysis.h"
#include "cli/CliOptions.h"
#include "cli/CliPrompts.h"
#include "cli/LaneProfileText.h"
#include "cli/OutputFile.h"
#include "platform/Exceptions.h"
#include "util/CExportTable.h"

#include <FreeImage.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>
#include <opencv2/core/version.hpp>
#include <xlsxwriter.h>

#include <exception>

namespace {

const QString kProgram = QStringLiteral("densora-cli");
// The title the lane graph writes in the first field of its text export; with
// every lane exported that is its "All Lanes" heading.
const QString kProfilesTitle = QStringLiteral("All Lanes");

void print(QIODevice *device, const QString &text)
{
    device->write(text.toUtf8());
}

int usageError(QIODevice *err, const QString &problem)
{
    print(err, QStringLiteral("%1: %2\n").arg(kProgram, problem));
    print(err, CliOptions::UsageText());
    print(err, QStringLiteral("Try '%1 --help' for more.\n").arg(kProgram));
    return CliCommand::UsageError;
}

int fileError(QIODevice *err, const QString &file, const QString &reason)
{
    print(err, QStringLiteral("%1: %2: %3\n").arg(kProgram, file, reason));
    return CliCommand::InputOutputError;
}

// Texts the engine showed that no error message took up, as notes.
void printNotes(QIODevice *err)
{
    for (const QString &text : CliPrompts::TakeMessages())
        print(err, QStringLiteral("%1: note: %2\n").arg(kProgram, text));
}

QString versions()
{
    return QStringLiteral("%1 %2\nQt %3\nFreeImage %4\nOpenCV %5\nlibxlsxwriter %6\n")
        .arg(kProgram, QStringLiteral(DENSORA_VERSION), QString::fromLatin1(qVersion()),
             QString::fromLatin1(FreeImage_GetVersion()), QStringLiteral(CV_VERSION),
             QString::fromLatin1(lxw_version()));
}

bool isWorkbook(const QString &path)
{
    return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

// The report as the report window exports it: the headings, then a row per
// table row, numbers as numbers.
bool writeReportWorkbook(const ReportTable &table, const QString &path, QString *error)
{
    QStringList headings;
    QList<int> columns;
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.isColumnVisible(c)) {
            columns << c;
            headings << table.heading(c);
        }
    }
    QList<QStringList> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (const int c : columns)
            cells << table.cell(r, c);
        rows << cells;
    }
    CExportTable workbook(path);
    workbook.WriteTable(headings, rows);
    return workbook.Close(error);
}

bool writeProfilesWorkbook(const Analysis1D &analysis, const QString &path, QString *error)
{
    CExportTable workbook(path);
    LaneProfileExport::WriteTable(workbook, analysis, LaneProfileExport::AllLanes(analysis),
                                  kProfilesTitle);
    return workbook.Close(error);
}

int produceOutputs(const CliOptions &options, BatchAnalysis &batch, const QString &imagePath,
                   const QString &documentPath, QIODevice *out, QIODevice *err)
{
    Analysis1D &analysis = *batch.Analysis();
    // Plain numbers for the programs that read the table; the JSON tells which
    // calibrated values are extrapolated.
    const ReportTable table
        = ReportTable::build(analysis, batch.Document().GetAnalysisOptions().m_ReportOptions,
                             ReportTable::Mode::AllLanes, {}, true, ReportTable::Marks::None);

    // Everything is made before anything is written, so a failure leaves no
    // file changed that belongs to a later step.
    QByteArray report;
    const bool reportWorkbook = isWorkbook(options.reportFile);
    if ((!options.reportFile.isEmpty() && !reportWorkbook) || !options.json) {
        const bool csv = options.reportFile.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
        report = (csv ? table.toCsv(true) : table.toTsv(true)).toUtf8();
    }
    QString error;
    if (reportWorkbook) {
        if (!writeReportWorkbook(table, options.reportFile, &error))
            return fileError(err, options.reportFile, error);
    } else if (!options.reportFile.isEmpty()
               && !OutputFile::Write(options.reportFile, report, &error)) {
        return fileError(err, options.reportFile, error);
    }
    if (isWorkbook(options.profilesFile)) {
        if (!writeProfilesWorkbook(analysis, options.profilesFile, &error))
            return fileError(err, options.profilesFile, error);
    } else if (!options.profilesFile.isEmpty()
               && !OutputFile::Write(options.profilesFile,
                                     LaneProfileText::Format(analysis, kProfilesTitle), &error)) {
        return fileError(err, options.profilesFile, error);
    }
    if (!options.pdfFile.isEmpty()) {
        AnalysisReportPdf::Info info;
        info.pictureName = imagePath.isEmpty() ? documentPath : imagePath;
        info.programVersion = QStringLiteral(DENSORA_VERSION);
        info.date = QDateTime::currentDateTime();
        if (!AnalysisReportPdf::Write(batch.Document(), options.pdfFile, info, &error))
            return fileError(err, options.pdfFile, error);
    }
    if (options.json) {
        const QJsonObject json = AnalysisJson::Build(batch.Document(), imagePath, documentPath);
        out->write(QJsonDocument(json).toJson(QJsonDocument::Indented));
    } else if (options.reportFile.isEmpty()) {
        out->write(report);
    }
    return CliCommand::Success;
}

int analyze(const CliOptions &options, QIODevice *out, QIODevice *err)
{
    BatchAnalysis batch;
    QString error;
    if (!batch.LoadImage(options.input, &error))
        return fileError(err, options.input, error);
    if (!batch.SetUp(options, &error))
        return usageError(err, error);

    double threshold = 0.0;
    if (options.threshold) {
        threshold = *options.threshold;
    } else {
        const int slider = options.slider.value_or(DetectionSlider::StoredPosition());
        threshold = DetectionSlider::ThresholdFromSlider(slider);
    }
    batch.Detect(threshold);
    if (options.ladderLane > 0) {
        if (!batch.ApplyLadder(options.ladderLane, options.ladder, &error))
            return usageError(err, error);
        if (!error.isEmpty())
            print(err, QStringLiteral("%1: note: %2\n").arg(kProgram, error));
    }
    if (options.mwCurve)
        batch.SetMWCurveType(*options.mwCurve);
    batch.Measure();
    printNotes(err);

    if (!options.saveFile.isEmpty() && !batch.SaveDocument(options.saveFile, &error))
        return fileError(err, options.saveFile, error);
    const QString imagePath = QFileInfo(options.input).absoluteFilePath();
    const QString documentPath
        = options.saveFile.isEmpty() ? QString() : QFileInfo(options.saveFile).absoluteFilePath();
    return produceOutputs(options, batch, imagePath, documentPath, out, err);
}

int report(const CliOptions &options, QIODevice *out, QIODevice *err)
{
    BatchAnalysis batch;
    QString error;
    if (!batch.OpenDocument(options.input, &error))
        return fileError(err, options.input, error);
    printNotes(err);
    return produceOutputs(options, batch, QString(), QFileInfo(options.input).absoluteFilePath(),
                          out, err);
}

} // namespace

int CliCommand::Run(const QStringList &arguments, QIODevice *out, QIODevice *err)
{
    CliOptions options;
    QString problem;
    if (!CliOptions::Parse(arguments, &options, &problem))
        return usageError(err, problem);
    try {
        switch (options.command) {
        case CliOptions::Command::Help:
            print(out, CliOptions::HelpText());
            return Success;
        case CliOptions::Command::Version:
            print(out, versions());
            return Success;
        case CliOptions::Command::Analyze:
            return analyze(options, out, err);
        case CliOptions::Command::Report:
            return report(options, out, err);
        case CliOptions::Command::None:
            break;
        }
    } catch (const std::exception &e) {
        // A fault inside the analysis (a damaged document's arrays, say) is
        // reported, never a crash.
        print(err,
              QStringLiteral("%1: %2: the analysis failed: %3\n")
                  .arg(kProgram, options.input, QString::fromLocal8Bit(e.what())));
        return InputOutputError;
    }
    return usageError(err, QStringLiteral("no command given"));
}
