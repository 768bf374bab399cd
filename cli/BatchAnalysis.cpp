#include "cli/BatchAnalysis.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "cli/CliOptions.h"
#include "cli/CliPrompts.h"
#include "data/CDoubleDataArray.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString rectText(const CRect &r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.Width()).arg(r.Height());
}

bool contains(const CRect &outer, const CRect &inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

} // namespace

BatchAnalysis::BatchAnalysis() : m_pDocument(std::make_unique<Analysis1DDoc>()) { }

BatchAnalysis::~BatchAnalysis() = default;

Analysis1D *BatchAnalysis::Analysis() const
{
    return m_pDocument->GetAnalysis();
}

QString BatchAnalysis::takeMessages()
{
    return CliPrompts::TakeMessages().join(QLatin1Char(' '));
}

bool BatchAnalysis::LoadImage(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("is a folder");
        return false;
    }
    file.close();
    int created = 0;
    try {
        created = m_pDocument->CreateImageObject(&file);
    } catch (const CUserException &) {
        // Refused with its own message (a picture too large to hold).
        created = 0;
    }
    if (created <= 0 || !m_pDocument->GetImage() || !m_pDocument->GetImage()->isValid()) {
        const QString shown = takeMessages();
        *error = shown.isEmpty() ? QStringLiteral("not a picture Densora can read") : shown;
        return false;
    }
    TVFImage *image = m_pDocument->GetImage();
    if (!AnalysisSetup::IsAnalysableGrey(*image) && !image->convertToGrayscale()) {
        *error = QStringLiteral("the picture cannot be turned into grey levels for the analysis");
        return false;
    }
    return true;
}

bool BatchAnalysis::SetUp(const CliOptions &options, QString *error)
{
    TVFImage *image = m_pDocument->GetImage();
    const CRect picture(0, 0, int(image->getWidth()), int(image->getHeight()));
    const CRect area = options.area.value_or(picture);
    if (!contains(picture, area)) {
        *error = QStringLiteral("--area %1 reaches outside the %2 x %3 picture")
                     .arg(rectText(area))
                     .arg(picture.Width())
                     .arg(picture.Height());
        return false;
    }
    CRect example;
    if (options.exampleBand) {
        example = *options.exampleBand;
        if (!contains(area, example)) {
            *error = QStringLiteral("--example-band %1 reaches outside the analysis area %2")
                         .arg(rectText(example), rectText(area));
            return false;
        }
    } else {
        if (options.laneWidth > area.Width() || options.bandHeight > area.Height()) {
            *error = QStringLiteral("an example band of %1 x %2 does not fit the analysis area %3")
                         .arg(options.laneWidth)
                         .arg(options.bandHeight)
                         .arg(rectText(area));
            return false;
        }
        const int left = area.left + (area.Width() - options.laneWidth) / 2;
        const int top = area.top + (area.Height() - options.bandHeight) / 2;
        example = CRect(left, top, left + options.laneWidth, top + options.bandHeight);
    }
    for (const auto &[row, name] : {std::pair {options.wellsRow, "--wells"},
                                    std::pair {options.dyeFrontRow, "--dye-front"}}) {
        if (row && (*row < area.top || *row >= area.bottom)) {
            *error = QStringLiteral("%1 %2 lies outside the analysis area's rows %3 to %4")
                         .arg(QLatin1String(name))
                         .arg(*row)
                         .arg(area.top)
                         .arg(area.bottom - 1);
            return false;
        }
    }

    AnalysisSetup setup(*m_pDocument);
    setup.Begin();
    AnalysisSetup::Shapes shapes;
    shapes.objectsDarker = options.dark;
    shapes.area = area;
    shapes.exampleBand = example;
    shapes.dyeFrontRow = options.dyeFrontRow;
    shapes.wellsRow = options.wellsRow;
    if (!setup.Run(shapes)) {
        *error
            = QStringLiteral("no analysis image could be cut from the area %1").arg(rectText(area));
        return false;
    }
    return true;
}

// The note Load Overlay shows once the template's analysis area and example
// band are found: from then on only the picture can stand in the way.
static const QString kTemplateAnalysisOffered
    = QStringLiteral("Press OK to create an analysis based on the template you have chosen!");

BatchAnalysis::TemplateResult BatchAnalysis::ApplyTemplate(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return TemplateResult::Unusable;
    }
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("is a folder");
        return TemplateResult::Unusable;
    }
    file.close();
    const bool read = m_pDocument->LoadOverlayTemplate(path);
    QStringList shown = CliPrompts::TakeMessages();
    const bool offered = shown.removeAll(kTemplateAnalysisOffered) > 0;
    const QString reason = shown.join(QLatin1Char(' '));
    if (!read || !offered) {
        *error = !reason.isEmpty()
            ? reason
            : QStringLiteral("the template holds no analysis (it was saved before one was "
                             "started)");
        return TemplateResult::Unusable;
    }
    if (!Analysis() || !Analysis()->GetAnalysisRasterImage()) {
        *error = !reason.isEmpty()
            ? reason
            : QStringLiteral("no analysis image could be cut from the template's analysis area");
        return TemplateResult::DoesNotFit;
    }
    AnalysisSetup(*m_pDocument).Finish();
    return TemplateResult::Applied;
}

bool BatchAnalysis::CheckTemplate(const QString &path, QString *error)
{
    BatchAnalysis scratch;
    return scratch.ApplyTemplate(path, error) != TemplateResult::Unusable;
}

void BatchAnalysis::Detect(double threshold)
{
    AnalysisSetup(*m_pDocument).Detect(threshold);
}

bool BatchAnalysis::ApplyLadder(int laneNumber, const QVector<double> &weights, QString *error)
{
    CArray<Lane> &lanes = *Analysis()->GetLanes();
    if (laneNumber < 1 || laneNumber > lanes.GetSize()) {
        *error = QStringLiteral("--ladder-lane %1: %2 lanes were found")
                     .arg(laneNumber)
                     .arg(lanes.GetSize());
        return false;
    }
    if (!MWAssignments::CheckLaneForLadder(lanes, laneNumber - 1)) {
        *error = QStringLiteral("--ladder-lane %1: %2").arg(laneNumber).arg(takeMessages());
        return false;
    }
    CDoubleDataArray values;
    for (double w : weights)
        values.Add(w);
    const int assigned = MWAssignments::ApplyLadder(lanes, laneNumber - 1, values);
    const int bands = lanes[laneNumber - 1].GetNumberOfBands();
    if (assigned < weights.size() || assigned < bands)
        *error = QStringLiteral("lane %1 has %2 bands and the ladder %3 weights; the first %4 "
                                "bands took the first %4 weights")
                     .arg(laneNumber)
                     .arg(bands)
                     .arg(weights.size())
                     .arg(assigned);
    return true;
}

void BatchAnalysis::SetMWCurveType(int type)
{
    Analysis()->GetCalibrationManager()->SetMWCurveType(type);
}

void BatchAnalysis::Measure()
{
    Analysis()->CalculateAnalysisData();
}

bool BatchAnalysis::OpenDocument(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    file.close();
    if (!m_pDocument->OnOpenDocument(path)) {
        const QString shown = takeMessages();
        *error = shown.isEmpty() ? QStringLiteral("not a Densora document") : shown;
        return false;
    }
    if (!Analysis()) {
        *error = QStringLiteral("the document holds no analysis");
        return false;
    }
    return true;
}

bool BatchAnalysis::SaveDocument(const QString &path, QString *error)
{
    if (!m_pDocument->OnSaveDocument(path)) {
        const QString shown = takeMessages();
        *error = shown.isEmpty() ? QStringLiteral("the document could not be written") : shown;
        return false;
    }
    return true;
}
