#include "cli/CliCommand.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisReportPdf.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/LaneProfileExport.h"
#include "analysis1d/engine/ReportTable.h"
#include "cli/AnalysisJson.h"
#include "cli/BatchAnalysis.h"
#include "cli/BatchPictures.h"
#include "cli/CliOptions.h"
#include "cli/CliPrompts.h"
#include "cli/LaneProfileText.h"
#include "cli/OutputFile.h"
#include "platform/Exceptions.h"
#include "util/CExportTable.h"

#include <FreeImage.h>
#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
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

// Why a picture's analysis stopped: the file at fault and the reason, and
// whether the arguments were to blame (the usage lines follow then).
struct Failure
{
    int status = CliCommand::Success;
    QString file;
    QString reason;
};

int failed(Failure *failure, int status, const QString &file, const QString &reason)
{
    *failure = {status, file, reason};
    return status;
}

// One picture from reading it to its measurements, the document saved to
// 'savePath' when one is given. Notes are printed as they come, after
// 'notePrefix'.
int runAnalysis(const CliOptions &options, const QString &picture, const QString &savePath,
                const QString &notePrefix, BatchAnalysis &batch, QIODevice *err, Failure *failure)
{
    QString error;
    if (!batch.LoadImage(picture, &error))
        return failed(failure, CliCommand::InputOutputError, picture, error);
    if (!options.templateFile.isEmpty()) {
        switch (batch.ApplyTemplate(options.templateFile, &error)) {
        case BatchAnalysis::TemplateResult::Applied:
            break;
        case BatchAnalysis::TemplateResult::Unusable:
            return failed(failure, CliCommand::InputOutputError, options.templateFile, error);
        case BatchAnalysis::TemplateResult::DoesNotFit:
            return failed(failure, CliCommand::InputOutputError, picture, error);
        }
    } else if (!batch.SetUp(options, &error)) {
        return failed(failure, CliCommand::UsageError, picture, error);
    }

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
            return failed(failure, CliCommand::UsageError, picture, error);
        if (!error.isEmpty())
            print(err, QStringLiteral("%1: %2note: %3\n").arg(kProgram, notePrefix, error));
    }
    if (options.mwCurve)
        batch.SetMWCurveType(*options.mwCurve);
    batch.Measure();
    for (const QString &text : CliPrompts::TakeMessages())
        print(err, QStringLiteral("%1: %2note: %3\n").arg(kProgram, notePrefix, text));

    if (!savePath.isEmpty() && !batch.SaveDocument(savePath, &error))
        return failed(failure, CliCommand::InputOutputError, savePath, error);
    return CliCommand::Success;
}

int analyze(const CliOptions &options, QIODevice *out, QIODevice *err)
{
    BatchAnalysis batch;
    Failure failure;
    const int status
        = runAnalysis(options, options.input, options.saveFile, QString(), batch, err, &failure);
    if (status == CliCommand::UsageError)
        return usageError(err, failure.reason);
    if (status != CliCommand::Success)
        return fileError(err, failure.file, failure.reason);
    const QString imagePath = QFileInfo(options.input).absoluteFilePath();
    const QString documentPath
        = options.saveFile.isEmpty() ? QString() : QFileInfo(options.saveFile).absoluteFilePath();
    return produceOutputs(options, batch, imagePath, documentPath, out, err);
}

// One line of the batch summary.
struct PictureSummary
{
    QString picture;
    int lanes = -1; // -1 when the picture failed
    int bands = 0;
    QString report;
    QString document;
    QString result;
};

int bandCount(Analysis1D &analysis)
{
    int bands = 0;
    CArray<Lane> &lanes = *analysis.GetLanes();
    for (int i = 0; i < lanes.GetSize(); ++i)
        bands += lanes[i].GetNumberOfBands();
    return bands;
}

QByteArray summaryTable(const QList<PictureSummary> &lines, bool documents)
{
    QStringList heading = {QStringLiteral("Picture"), QStringLiteral("Lanes"),
                           QStringLiteral("Bands"), QStringLiteral("Report")};
    if (documents)
        heading << QStringLiteral("Document");
    heading << QStringLiteral("Result");
    // Tabs and line breaks in a name or reason would break the columns.
    const auto cell = [](QString text) {
        return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    };
    QString text = heading.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const PictureSummary &line : lines) {
        QStringList cells
            = {cell(line.picture), line.lanes < 0 ? QString() : QString::number(line.lanes),
               line.lanes < 0 ? QString() : QString::number(line.bands), cell(line.report)};
        if (documents)
            cells << cell(line.document);
        cells << cell(line.result);
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

// --out: every picture analysed on its own document, its report (and
// document) written into the folder, a failure reported and the run going on
// with the next picture. The summary comes last, on standard output.
int analyzeBatch(const CliOptions &options, QIODevice *out, QIODevice *err)
{
    QString error;
    // A template no picture can use is one error, not one per picture.
    if (!options.templateFile.isEmpty()
        && !BatchAnalysis::CheckTemplate(options.templateFile, &error))
        return fileError(err, options.templateFile, error);
    if (!QDir().mkpath(options.outDir))
        return fileError(err, options.outDir, QStringLiteral("the folder cannot be created"));
    const QDir outDir(options.outDir);

    const QList<BatchPictures::Entry> pictures = BatchPictures::Collect(options.inputs);
    const bool progress = pictures.size() > 1 && !options.quiet;
    const QString reportSuffix = options.json ? QStringLiteral(".json") : QStringLiteral(".tsv");
    CliOptions single = options; // each report goes to its file through a buffer
    single.reportFile.clear();
    single.profilesFile.clear();

    QList<PictureSummary> summary;
    int failures = 0;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const BatchPictures::Entry &picture = pictures[i];
        PictureSummary line;
        line.picture = picture.path;
        QString reason = picture.problem;
        if (reason.isEmpty()) {
            // Texts a failed picture left behind are not the next one's notes.
            CliPrompts::TakeMessages();
            const QString reportPath = outDir.filePath(picture.name + reportSuffix);
            const QString savePath = options.saveEach
                ? outDir.filePath(picture.name + QStringLiteral(".dsr"))
                : QString();
            try {
                BatchAnalysis batch;
                Failure failure;
                int status = runAnalysis(options, picture.path, savePath,
                                         picture.path + QStringLiteral(": "), batch, err, &failure);
                QBuffer report;
                report.open(QIODevice::WriteOnly);
                if (status == CliCommand::Success) {
                    const QString documentPath
                        = savePath.isEmpty() ? QString() : QFileInfo(savePath).absoluteFilePath();
                    status
                        = produceOutputs(single, batch, QFileInfo(picture.path).absoluteFilePath(),
                                         documentPath, &report, err);
                    if (status != CliCommand::Success)
                        failed(&failure, status, reportPath,
                               QStringLiteral("the report could not be made"));
                }
                if (status == CliCommand::Success
                    && !OutputFile::Write(reportPath, report.data(), &error))
                    status = failed(&failure, CliCommand::InputOutputError, reportPath, error);
                if (status == CliCommand::Success) {
                    line.lanes = batch.Analysis()->GetLanes()->GetSize();
                    line.bands = bandCount(*batch.Analysis());
                    line.report = reportPath;
                    line.document = savePath;
                    line.result = QStringLiteral("ok");
                } else {
                    // The file at fault is named when it is not the picture.
                    const QString why = failure.reason.isEmpty()
                        ? QStringLiteral("the analysis could not be completed")
                        : failure.reason;
                    reason = failure.file == picture.path
                        ? why
                        : QStringLiteral("%1: %2").arg(failure.file, why);
                }
            } catch (const std::exception &e) {
                reason = QStringLiteral("the analysis failed: %1")
                             .arg(QString::fromLocal8Bit(e.what()));
            }
        }
        if (!reason.isEmpty()) {
            ++failures;
            line.result = QStringLiteral("failed: ") + reason;
            print(err, QStringLiteral("%1: %2: %3\n").arg(kProgram, picture.path, reason));
        } else if (progress) {
            print(err,
                  QStringLiteral("%1: [%2/%3] %4: %5 lanes, %6 bands\n")
                      .arg(kProgram)
                      .arg(i + 1)
                      .arg(pictures.size())
                      .arg(picture.path)
                      .arg(line.lanes)
                      .arg(line.bands));
        }
        summary.append(line);
    }
    out->write(summaryTable(summary, options.saveEach));
    if (failures == 0)
        return CliCommand::Success;
    print(err,
          QStringLiteral("%1: %2 of %3 pictures failed\n")
              .arg(kProgram)
              .arg(failures)
              .arg(pictures.size()));
    return CliCommand::InputOutputError;
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
            return options.outDir.isEmpty() ? analyze(options, out, err)
                                            : analyzeBatch(options, out, err);
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
