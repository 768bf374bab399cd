#include "analysis1d/ui/GraphWnd1D.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DOptions.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/GraphOptions.h"
#include "analysis1d/engine/LaneProfileExport.h"
#include "analysis1d/ui/ExportProgress.h"
#include "data/CIntDataArray.h"
#include "imaging/RasterImageGS16.h"
#include "numerics/CGaussian.h"
#include "platform/Prompts.h"
#include "util/CExportTable.h"

#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// MulDiv: a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c)
{
    return c == 0 ? -1 : int(std::lround(double(a) * double(b) / double(c)));
}

int valueAt(const CIntDataArray &data, int i)
{
    return i >= 0 && i < data.GetSize() ? data[i] : 0;
}

} // namespace

GraphWnd1D::GraphWnd1D(Analysis1D *analysis, QWidget *parent)
    : GraphWnd(parent), MenuHandler1D(analysis)
{
    setCursor(Qt::ArrowCursor);
    SetUp();
}

GraphWnd1D::~GraphWnd1D() = default;

void GraphWnd1D::SetUp()
{
    GRAPHINFO info;
    info.title = HeadingText();
    info.xAxisTitle = QStringLiteral("Position Relative to the Top of Analysis Area");
    info.yAxisTitle = QStringLiteral("Intensity Profile (pixel value)");
    const RasterImageGS16 *image = m_pAnalysis ? m_pAnalysis->GetAnalysisRasterImage() : nullptr;
    info.xMin = 0;
    info.xMax = image ? image->getHeight() - 1 : 0;
    info.yMin = 0;
    info.yMax = image ? image->getMax() : 0;
    SetParameters(&info);
}

QString GraphWnd1D::HeadingText() const
{
    switch (m_Mode) {
    case kModeSingle:
        return QStringLiteral("Lane %1").arg(m_SelectedLane + 1);
    case kModeMultiple: {
        const QList<int> lanes = FlaggedLanes();
        if (lanes.size() == 1)
            return QStringLiteral("Lane %1").arg(lanes.first() + 1);
        return QStringLiteral("%1 Lanes").arg(lanes.size());
    }
    default:
        return QStringLiteral("All Lanes");
    }
}

void GraphWnd1D::ComputeDrawingRect(QPainter *painter, CRect *rect)
{
    GraphWnd::ComputeDrawingRect(painter, rect);
    // Room for the legend.
    if (m_Mode == kModeMultiple || m_Mode == kModeAll)
        rect->right = mulDiv(rect->right, 8, 9);
}

QPoint GraphWnd1D::toWindow(double position, double value, bool rounded) const
{
    const CPoint offset = IsZoomed() ? GetZoomOffset() : CPoint(0, 0);
    const double add = rounded ? 0.5 : 0.0;
    const CRect &plot = GetDrawingRect();
    return QPoint(plot.left + int((position - offset.x) * GetGraph2DataXfactor() + add),
                  plot.bottom - int((value - offset.y) * GetGraph2DataYfactor() + add));
}

void GraphWnd1D::Draw(QPainter *painter)
{
    m_drawnLanes.clear();
    const QList<int> lanes = FlaggedLanes();
    SetHeader(HeadingText());
    if (!m_pAnalysis) {
        GraphWnd::Draw(painter);
        return;
    }
    const Analysis1DOptions *options = m_pAnalysis->GetAnalysisOptions();
    const GraphOptions graphOptions = options ? options->m_GraphOptions : GraphOptions();
    const RasterImageGS16 *image = m_pAnalysis->GetAnalysisRasterImage();
    const int positions = LaneProfileExport::PositionCount(*m_pAnalysis);

    int maximum = 0;
    if (graphOptions.m_autoScale == 1) {
        for (const int lane : lanes) {
            const CIntDataArray &profile = *m_pAnalysis->GetLane(lane).GetProfile();
            for (int i = 0; i < profile.GetSize(); ++i)
                maximum = std::max(maximum, profile[i]);
        }
    } else {
        maximum = image ? image->getMax() : 0;
    }
    m_verticalMaximum = maximum;
    SetDataRange(0, positions - 1, 0, maximum);
    GraphWnd::Draw(painter);

    painter->save();
    for (int k = 0; k < lanes.size(); ++k) {
        const COLORREF colour = PaletteColour(k);
        QPen pen(toQColor(colour));
        pen.setWidth(1);
        DrawDataPoints(painter, m_pAnalysis->GetLane(lanes[k]).GetProfile(), pen);
        m_drawnLanes.append({lanes[k], colour, QRect()});
    }
    if (m_Mode == kModeSingle && m_SelectedLane >= 0 && lanes.size() == 1)
        drawSingleLaneOverlays(painter, m_SelectedLane);
    if (m_drawnLanes.size() > 1)
        drawLegend(painter);
    painter->restore();
}

void GraphWnd1D::drawSingleLaneOverlays(QPainter *painter, int laneIndex)
{
    const Analysis1DOptions *options = m_pAnalysis->GetAnalysisOptions();
    const GraphOptions graphOptions = options ? options->m_GraphOptions : GraphOptions();
    const Lane &lane = m_pAnalysis->GetLane(laneIndex);
    const CIntDataArray profile = *lane.GetProfile();
    const CIntDataArray background = *lane.GetBackground();
    const int positions = LaneProfileExport::PositionCount(*m_pAnalysis);
    const CRect &plotRect = GetDrawingRect();
    const QRect plot(QPoint(plotRect.left, plotRect.top),
                     QPoint(plotRect.right - 1, plotRect.bottom - 1));

    painter->save();
    painter->setClipRect(plot.adjusted(0, 0, 1, 1));

    // Band areas: down the profile, back up the background, hatched.
    const QColor blue = toQColor(kBandAreaColour);
    QFont numberFont = painter->font();
    numberFont.setWeight(QFont::Bold);
    for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
        const BandData &data = *lane.GetBand(b).getData();
        CRect box;
        if (!data.getRecRegion(&box))
            continue;
        QPolygon area;
        for (int i = box.top + 1; i <= box.bottom - 2; ++i)
            area << toWindow(i, valueAt(profile, i));
        for (int i = box.bottom - 2; i >= box.top + 1; --i)
            area << toWindow(i, valueAt(background, i));
        if (area.size() >= 3) {
            painter->setPen(QPen(blue, 1));
            painter->setBrush(QBrush(blue, Qt::DiagCrossPattern));
            painter->drawPolygon(area);
        }
        if (graphOptions.m_ShowPeakNumbers) {
            const int row = data.m_centerOfGravity.y;
            const QPoint at = toWindow(row, valueAt(profile, row));
            painter->setFont(numberFont);
            painter->setPen(Qt::black);
            const QString number = QString::number(b + 1);
            const QFontMetrics metrics(numberFont, painter->device());
            painter->drawText(at.x() - metrics.horizontalAdvance(number) / 2, at.y() - 3, number);
        }
    }
    painter->setBrush(Qt::NoBrush);

    // Gaussians over the background, with their half-height lines.
    if (graphOptions.m_ShowGaussians && lane.GetGaussians().GetSize() > 0) {
        const QPen red(toQColor(kGaussianColour), 1);
        painter->setPen(red);
        const CGaussianArray &gaussians = lane.GetGaussians();
        for (int g = 0; g < gaussians.GetSize(); ++g) {
            const CGaussian &gaussian = gaussians[g];
            QPolygon segment;
            for (int i = 0; i < positions; ++i) {
                const QPoint p = toWindow(i, gaussian.EvaluateAt(i) + valueAt(background, i));
                if (plot.contains(p)) {
                    segment << p;
                } else if (!segment.isEmpty()) {
                    painter->drawPolyline(segment);
                    segment.clear();
                }
            }
            if (!segment.isEmpty())
                painter->drawPolyline(segment);

            int left = 0, right = 0, level = 0;
            HalfHeightLine(gaussian, background, positions, &left, &right, &level);
            const QPoint a = toWindow(left, level, true);
            const QPoint b = toWindow(right, level, true);
            if (plot.contains(a) && plot.contains(b))
                painter->drawLine(a, b);
        }
    }

    if (graphOptions.m_ShowBackground) {
        QPen pen(toQColor(kBackgroundColour));
        pen.setWidth(1);
        painter->restore();
        DrawDataPoints(painter, lane.GetBackground(), pen);
        return;
    }
    painter->restore();
}

void GraphWnd1D::HalfHeightLine(const CGaussian &gaussian, const CIntDataArray &background,
                                int positions, int *left, int *right, int *level)
{
    const int center = gaussian.GetCenter();
    const int width = gaussian.GetWidth();
    const int h = gaussian.GetAmplitude() / 2 + valueAt(background, center);
    const double half = std::sqrt(std::log(2.0)) * width;
    auto curve = [&](int i) { return gaussian.EvaluateAt(i) + valueAt(background, i); };
    // Of two neighbours around the level, the one closer to it; the left on a tie.
    auto closer
        = [&](int i) { return std::abs(curve(i) - h) <= std::abs(curve(i + 1) - h) ? i : i + 1; };

    *level = h;
    *left = int(center - half);
    for (int i = std::max(center - 3 * width, 0); i < center; ++i) {
        if (curve(i) <= h && curve(i + 1) >= h) {
            *left = closer(i);
            break;
        }
    }
    *right = int(center + half);
    const int end = std::min(center + 3 * width, positions) - 1;
    for (int i = center; i < end; ++i) {
        if (curve(i) >= h && curve(i + 1) <= h) {
            *right = closer(i);
            break;
        }
    }
}

void GraphWnd1D::drawLegend(QPainter *painter)
{
    const CRect &plot = GetDrawingRect();
    const CRect &window = GetWindowRect();
    const int count = int(m_drawnLanes.size());
    const int entry = std::min(mulDiv(plot.Height(), 9, 10) / count, GetTextLineHeight());
    const int marginLeft = plot.right;
    const QFontMetrics metrics(painter->font(), painter->device());
    int y = plot.top;
    for (DrawnLane &drawn : m_drawnLanes) {
        const QString text = QStringLiteral("Lane %1").arg(drawn.lane + 1);
        const int textLeft = marginLeft + 2;
        painter->setPen(Qt::black);
        painter->drawText(QRect(textLeft, y, metrics.horizontalAdvance(text) + 1, entry),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        const int swatchLeft = textLeft + metrics.horizontalAdvance(text) + 4;
        const QRect swatch(QPoint(swatchLeft, y + 2),
                           QPoint(window.right - 2 - 1, y + entry - 2 - 1));
        if (swatch.width() > 0 && swatch.height() > 0) {
            const QColor colour = toQColor(drawn.colour);
            painter->setPen(colour);
            painter->setBrush(colour);
            painter->drawRect(swatch.adjusted(0, 0, -1, -1));
            drawn.legendSwatch = swatch;
        }
        y += entry;
    }
    painter->setBrush(Qt::NoBrush);
    painter->setPen(Qt::black);
    painter->drawRect(QRect(QPoint(marginLeft, plot.top), QPoint(window.right - 1, y)));
}

// Menu and exports ------------------------------------------------------------------------

void GraphWnd1D::OnContextMenu(const QPoint &globalPos)
{
    QMenu menu(this);
    const int laneCount = m_pAnalysis ? m_pAnalysis->GetNumberOfLanes() : 0;
    BuildLaneMenu(&menu, m_SelectedLane, m_LaneFlags.get(), laneCount, false, false);
    menu.addSeparator();
    AddGraphMenuItems(&menu);
    const int id = execMenu(&menu, globalPos.x(), globalPos.y());
    if (id)
        OnCommand(id);
}

bool GraphWnd1D::stepExport(ExportProgress *progress)
{
    progress->StepIt();
    if (progress->CheckCancelButton()
        && Prompts::instance().MessageBox(QStringLiteral("Are you sure you want to Cancel?"),
                                          MB_YESNO | MB_ICONQUESTION)
            == IDYES)
        return false;
    return true;
}

bool GraphWnd1D::ExportProfilesToExcel(const QString &path, QString *error)
{
    CExportTable table(path);
    if (!table.IsExportable()) {
        table.Close(error);
        return false;
    }
    const QList<int> lanes = FlaggedLanes();
    const int positions = LaneProfileExport::PositionCount(*m_pAnalysis);
    std::unique_ptr<ExportProgress> progress
        = ExportProgress::Create(this, QStringLiteral("Exporting to Excel..."));
    progress->SetRange(0, positions * int(lanes.size()));
    LaneProfileExport::WriteTable(table, *m_pAnalysis, lanes, HeadingText(),
                                  [&] { return stepExport(progress.get()); });
    progress.reset();
    return table.Close(error);
}

bool GraphWnd1D::ExportProfilesToText(const QString &path, QString *error)
{
    const QList<int> lanes = FlaggedLanes();
    const int positions = LaneProfileExport::PositionCount(*m_pAnalysis);
    std::unique_ptr<ExportProgress> progress
        = ExportProgress::Create(this, QStringLiteral("Exporting to File..."));
    progress->SetRange(0, positions * int(lanes.size()));
    const QByteArray text = LaneProfileExport::Text(*m_pAnalysis, lanes, HeadingText(), "\r\n",
                                                    [&] { return stepExport(progress.get()); });
    progress.reset();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void GraphWnd1D::ExportToExcel()
{
    if (!m_pAnalysis)
        return;
    const QString path = CExportTable::AskExportPath(QStringLiteral("Lane Profiles.xlsx"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportProfilesToExcel(path, &error))
        Prompts::instance().MessageBox(QStringLiteral("Can't export to Excel!\n%1").arg(error),
                                       MB_OK | MB_ICONERROR);
}

void GraphWnd1D::ExportToText()
{
    if (!m_pAnalysis)
        return;
    QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Export to Text File"), QStringLiteral("Text Files (*.txt);;All Files (*)"),
        QStringLiteral("Lane Profiles.txt"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    QString error;
    if (!ExportProfilesToText(path, &error))
        Prompts::instance().MessageBox(
            QStringLiteral("The lane profiles could not be written to %1:\n%2").arg(path, error),
            MB_OK | MB_ICONERROR);
}
