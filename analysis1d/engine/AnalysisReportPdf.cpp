#include "analysis1d/engine/AnalysisReportPdf.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/CalibrationQuality.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/Analysis1DOptions.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/engine/ReportTable.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "data/CIntDataArray.h"
#include "imaging/TVFImage.h"
#include "numerics/CGaussianArray.h"
#include "platform/SaveFileCommit.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int kDpi = 300;
// Points to device pixels at kDpi.
constexpr double pt(double points)
{
    return points * kDpi / 72.0;
}

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xD8, 0xD8, 0xD8);
const QColor kWarning(0xC0, 0x20, 0x10);
const QColor kBackgroundLine(0x30, 0x80, 0x30);
const QColor kGaussianLine(0xD0, 0x30, 0x30);
// Lane colours of the overlaid profiles.
const QColor kLaneColours[]
    = {QColor(0x1F, 0x77, 0xB4), QColor(0xFF, 0x7F, 0x0E), QColor(0x2C, 0xA0, 0x2C),
       QColor(0xD6, 0x27, 0x28), QColor(0x94, 0x67, 0xBD), QColor(0x8C, 0x56, 0x4B),
       QColor(0xE3, 0x77, 0xC2), QColor(0x7F, 0x7F, 0x7F), QColor(0xBC, 0xBD, 0x22),
       QColor(0x17, 0xBE, 0xCF)};

QString rectText(CRect r)
{
    r.NormalizeRect();
    return QStringLiteral("x %1, y %2, %3 x %4 pixels")
        .arg(r.left)
        .arg(r.top)
        .arg(r.Width())
        .arg(r.bottom - r.top);
}

// The slider position that gives the threshold, or -1 when none does (a
// threshold given directly).
int sliderFor(double threshold)
{
    for (int p = DetectionSlider::kMinimum; p <= DetectionSlider::kMaximum; ++p) {
        if (DetectionSlider::ThresholdFromSlider(p) == threshold)
            return p;
    }
    return -1;
}

QString number(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("-");
}

// A value range with a little room, never empty.
struct Range
{
    double low = 0.0;
    double high = 1.0;
    void include(double v)
    {
        if (!std::isfinite(v))
            return;
        if (empty) {
            low = high = v;
            empty = false;
        } else {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    void pad(double fraction)
    {
        if (high <= low) {
            low -= 1.0;
            high += 1.0;
        }
        const double room = (high - low) * fraction;
        low -= room;
        high += room;
    }
    bool empty = true;
};

// "Nice" tick step for a range: 1, 2 or 5 times a power of ten.
double tickStep(double span, int ticks)
{
    const double raw = span / std::max(1, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        if (f * power >= raw)
            return f * power;
    }
    return 10.0 * power;
}

// One report being laid out on a PDF (or counted without one).
class Layout
{
public:
    explicit Layout(QPdfWriter *writer) : m_writer(writer)
    {
        m_painter.begin(m_writer);
        m_page = m_writer->pageLayout().paintRectPixels(kDpi);
        m_page.moveTo(0, 0);
        m_y = 0;
        m_pages = 1;
    }

    bool painting() const { return m_painter.isActive(); }
    QPainter &painter() { return m_painter; }
    double width() const { return m_page.width(); }
    double height() const { return m_page.height(); }
    double y() const { return m_y; }
    void advance(double dy) { m_y += dy; }
    int pages() const { return m_pages; }

    void newPage()
    {
        m_writer->newPage();
        ++m_pages;
        m_y = 0;
        footer();
    }
    // A new page unless 'needed' still fits on this one.
    void ensure(double needed)
    {
        if (m_y + needed > height() - pt(24))
            newPage();
    }

    QFont font(double points, bool bold = false) const
    {
        QFont f(QStringLiteral("Sans Serif"));
        f.setPointSizeF(points);
        f.setBold(bold);
        // No ligatures: text copied out of the report (the methods, the
        // numbers) must read as typed, "fi" as two letters.
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    }
    double lineHeight(const QFont &f) const { return QFontMetricsF(f, m_writer).height(); }
    double textWidth(const QFont &f, const QString &text) const
    {
        return QFontMetricsF(f, m_writer).horizontalAdvance(text);
    }
    // Height of the text wrapped at width w.
    double textHeight(const QFont &f, const QString &text, double w) const
    {
        return QFontMetricsF(f, m_writer)
            .boundingRect(QRectF(0, 0, w, 1e6), Qt::TextWordWrap | Qt::AlignCenter, text)
            .height();
    }

    void heading(const QString &text)
    {
        const QFont f = font(14, true);
        ensure(lineHeight(f) * 3);
        if (painting()) {
            m_painter.setFont(f);
            m_painter.setPen(kInk);
            m_painter.drawText(QPointF(0, m_y + QFontMetricsF(f, m_writer).ascent()), text);
        }
        m_y += lineHeight(f) * 1.4;
    }

    // Text wrapped at the page width (or 'w'); returns its height.
    double paragraph(const QString &text, const QFont &f, QColor colour = kInk, double w = -1)
    {
        const double textWidthAllowed = w > 0 ? w : width();
        const QRectF bounds = QFontMetricsF(f, m_writer)
                                  .boundingRect(QRectF(0, 0, textWidthAllowed, 1e6),
                                                Qt::TextWordWrap | Qt::AlignLeft, text);
        ensure(bounds.height());
        if (painting()) {
            m_painter.setFont(f);
            m_painter.setPen(colour);
            m_painter.drawText(QRectF(0, m_y, textWidthAllowed, bounds.height() + 2),
                               Qt::TextWordWrap | Qt::AlignLeft, text);
        }
        m_y += bounds.height();
        return bounds.height();
    }

    void setFooterText(const QString &text) { m_footerText = text; }
    void footer()
    {
        if (!painting())
            return;
        const QFont f = font(7);
        m_painter.setFont(f);
        m_painter.setPen(Qt::gray);
        m_painter.drawText(QRectF(0, height() - lineHeight(f), width(), lineHeight(f)),
                           Qt::AlignLeft, m_footerText);
        m_painter.drawText(QRectF(0, height() - lineHeight(f), width(), lineHeight(f)),
                           Qt::AlignRight, QStringLiteral("page %1").arg(m_pages));
    }

    void end() { m_painter.end(); }

private:
    QPdfWriter *m_writer;
    QPainter m_painter;
    QRect m_page;
    double m_y = 0;
    int m_pages = 1;
    QString m_footerText;
};

// A plot frame with axes, ticks and labels; maps data to the page.
class Plot
{
public:
    Plot(Layout &layout, QRectF frame, Range x, Range y, const QString &xTitle,
         const QString &yTitle)
        : m_layout(layout), m_x(x), m_y(y)
    {
        const QFont tickFont = layout.font(6);
        const double lh = layout.lineHeight(tickFont);
        m_plot = frame.adjusted(lh * 4.2, lh * 0.6, -lh * 0.6, -lh * 2.6);
        if (!layout.painting())
            return;
        QPainter &p = layout.painter();
        p.save();
        p.setFont(tickFont);
        p.setPen(QPen(kGrid, pt(0.4)));
        const double stepX = tickStep(m_x.high - m_x.low, 6);
        const double stepY = tickStep(m_y.high - m_y.low, 5);
        for (double t = std::ceil(m_x.low / stepX) * stepX; t <= m_x.high; t += stepX) {
            const double px = mapX(t);
            p.setPen(QPen(kGrid, pt(0.4)));
            p.drawLine(QPointF(px, m_plot.top()), QPointF(px, m_plot.bottom()));
            p.setPen(kInk);
            p.drawText(QRectF(px - lh * 3, m_plot.bottom() + lh * 0.2, lh * 6, lh),
                       Qt::AlignHCenter, QString::number(t, 'g', 6));
        }
        for (double t = std::ceil(m_y.low / stepY) * stepY; t <= m_y.high; t += stepY) {
            const double py = mapY(t);
            p.setPen(QPen(kGrid, pt(0.4)));
            p.drawLine(QPointF(m_plot.left(), py), QPointF(m_plot.right(), py));
            p.setPen(kInk);
            p.drawText(QRectF(m_plot.left() - lh * 4.1, py - lh / 2, lh * 3.9, lh),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(t, 'g', 6));
        }
        p.setPen(QPen(kInk, pt(0.6)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_plot);
        p.drawText(QRectF(m_plot.left(), m_plot.bottom() + lh * 1.3, m_plot.width(), lh),
                   Qt::AlignHCenter, xTitle);
        p.translate(frame.left() + lh * 0.1, m_plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-m_plot.height() / 2, 0, m_plot.height(), lh), Qt::AlignHCenter, yTitle);
        p.restore();
    }

    double mapX(double v) const
    {
        return m_plot.left() + (v - m_x.low) / (m_x.high - m_x.low) * m_plot.width();
    }
    double mapY(double v) const
    {
        return m_plot.bottom() - (v - m_y.low) / (m_y.high - m_y.low) * m_plot.height();
    }
    QPointF map(double x, double y) const { return {mapX(x), mapY(y)}; }
    const QRectF &area() const { return m_plot; }

    void polyline(const std::vector<QPointF> &data, const QPen &pen)
    {
        if (!m_layout.painting() || data.size() < 2)
            return;
        QPainterPath path;
        path.moveTo(map(data[0].x(), data[0].y()));
        for (size_t i = 1; i < data.size(); ++i)
            path.lineTo(map(data[i].x(), data[i].y()));
        QPainter &p = m_layout.painter();
        p.save();
        p.setClipRect(m_plot);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.restore();
    }

    void dot(double x, double y, double radius, const QColor &colour, bool square = false)
    {
        if (!m_layout.painting())
            return;
        QPainter &p = m_layout.painter();
        p.save();
        p.setPen(QPen(colour.darker(130), pt(0.4)));
        p.setBrush(colour);
        const QRectF r(map(x, y) - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        if (square)
            p.drawRect(r);
        else
            p.drawEllipse(r);
        p.restore();
    }

    void label(double x, double y, const QString &text, double points = 5.5)
    {
        if (!m_layout.painting())
            return;
        QPainter &p = m_layout.painter();
        p.save();
        const QFont f = m_layout.font(points);
        p.setFont(f);
        p.setPen(kInk);
        const double w = m_layout.textWidth(f, text);
        const QPointF at = map(x, y);
        p.drawText(QPointF(at.x() - w / 2,
                           std::max(m_plot.top() + m_layout.lineHeight(f), at.y() - pt(2))),
                   text);
        p.restore();
    }

private:
    Layout &m_layout;
    Range m_x;
    Range m_y;
    QRectF m_plot;
};

// Everything the pages are made of, gathered once.
struct ReportData
{
    Analysis1DDoc &doc;
    Analysis1D &analysis;
    CalibrationQuality mw;
    CalibrationQuality amounts;
    ReportTable table;

    explicit ReportData(Analysis1DDoc &d)
        : doc(d), analysis(*d.GetAnalysis()),
          mw(CalibrationQuality::Measure(analysis, CalibrationQuality::Kind::MolecularWeight)),
          amounts(CalibrationQuality::Measure(analysis, CalibrationQuality::Kind::Intensity))
    {
        // The report's columns as the user chose them; a molecular-weight
        // calibration brings its "MW" column, as intensity standards bring
        // the concentrations.
        ReportOptions options = d.GetAnalysisOptions().m_ReportOptions;
        if (mw.isFitted())
            options.m_MW = 1;
        table = ReportTable::build(analysis, options, ReportTable::Mode::AllLanes);
    }
};

// The lane's profile, background and Gaussians over its rows, in one plot.
void laneGraph(Layout &layout, const QRectF &frame, const Lane &lane, int laneIndex,
               const QString &title)
{
    const CIntDataArray &profile = *lane.GetProfile();
    const CIntDataArray &background = *lane.GetBackground();
    Range x;
    Range y;
    x.include(0);
    x.include(std::max(1, profile.GetSize() - 1));
    for (int i = 0; i < profile.GetSize(); ++i)
        y.include(profile[i]);
    for (int i = 0; i < background.GetSize(); ++i)
        y.include(background[i]);
    y.pad(0.08);
    const QFont titleFont = layout.font(7, true);
    const double titleHeight = layout.lineHeight(titleFont);
    if (layout.painting()) {
        layout.painter().setFont(titleFont);
        layout.painter().setPen(kInk);
        layout.painter().drawText(QRectF(frame.left(), frame.top(), frame.width(), titleHeight),
                                  Qt::AlignHCenter, title);
    }
    Plot plot(layout, frame.adjusted(0, titleHeight, 0, 0), x, y, QStringLiteral("Row"),
              QStringLiteral("Intensity"));
    std::vector<QPointF> line;
    for (int i = 0; i < background.GetSize(); ++i)
        line.emplace_back(i, background[i]);
    plot.polyline(line, QPen(kBackgroundLine, pt(0.5), Qt::DashLine));
    const CGaussianArray &gaussians = lane.GetGaussians();
    for (int g = 0; g < gaussians.GetSize(); ++g) {
        line.clear();
        for (int i = 0; i < profile.GetSize(); ++i) {
            const double base = i < background.GetSize() ? background[i] : 0.0;
            line.emplace_back(i, gaussians[g].EvaluateAt(i) + base);
        }
        plot.polyline(line, QPen(kGaussianLine, pt(0.4)));
    }
    line.clear();
    for (int i = 0; i < profile.GetSize(); ++i)
        line.emplace_back(i, profile[i]);
    plot.polyline(line, QPen(kLaneColours[size_t(laneIndex) % std::size(kLaneColours)], pt(0.7)));
    for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
        const BandData &d = *lane.GetBand(b).getData();
        const int row = d.m_centerOfGravity.y;
        const double value = row >= 0 && row < profile.GetSize() ? profile[row] : y.high;
        plot.label(row, value, QString::number(b + 1));
    }
}

// Page 1: the gel with the analysis over it and the settings beside.
void titlePage(Layout &layout, ReportData &data, const AnalysisReportPdf::Info &info)
{
    layout.heading(QStringLiteral("Gel analysis report"));
    const QFont body = layout.font(9);
    const QFont small = layout.font(8);
    Analysis1D &analysis = data.analysis;
    Analysis1DDoc &doc = data.doc;
    const TVFImage *image = doc.GetImage();

    QStringList lines;
    lines << QStringLiteral("File: %1").arg(QFileInfo(info.pictureName).fileName());
    lines << QStringLiteral("Date: %1").arg(info.date.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (image) {
        lines << QStringLiteral("Picture: %1 x %2 pixels, %3-bit")
                     .arg(image->getWidth())
                     .arg(image->getHeight())
                     .arg(image->getBitsPerPixel());
    }
    lines << QStringLiteral("Tone: %1")
                 .arg(analysis.GetWhiteOnBlack()
                          ? QStringLiteral("light bands on a dark background")
                          : QStringLiteral("dark bands on a light background"));
    if (const AnalysisArea *area = doc.GetAnalysisArea())
        lines << QStringLiteral("Analysis area: %1").arg(rectText(area->m_position));
    if (const ExampleBand *example = doc.GetExampleBand())
        lines << QStringLiteral("Example band: %1").arg(rectText(example->m_position));
    const double threshold = analysis.GetPeakHeightThreshold();
    const int slider = sliderFor(threshold);
    lines << (slider >= 0 ? QStringLiteral("Detection: slider %1, threshold %2")
                                .arg(slider)
                                .arg(threshold, 0, 'g', 4)
                          : QStringLiteral("Detection: threshold %1").arg(threshold, 0, 'g', 4));
    int bands = 0;
    for (int l = 0; l < analysis.GetNumberOfLanes(); ++l)
        bands += analysis.GetLane(l).GetNumberOfBands();
    lines << QStringLiteral("Lanes: %1, bands: %2").arg(analysis.GetNumberOfLanes()).arg(bands);
    lines << QStringLiteral("Program: Densora %1").arg(info.programVersion);
    for (const QString &line : lines)
        layout.paragraph(line, body);
    layout.advance(layout.lineHeight(body));

    if (!image || image->getWidth() == 0 || image->getHeight() == 0)
        return;
    // The picture as large as the rest of the page allows.
    const double room = layout.height() - layout.y() - pt(30);
    const double zoom = std::min(layout.width() / image->getWidth(), room / image->getHeight());
    const QSize size(std::max(1, int(image->getWidth() * zoom)),
                     std::max(1, int(image->getHeight() * zoom)));
    if (layout.painting()) {
        // Rendered at up to 2000 pixels across, then scaled onto the page.
        const double renderZoom
            = std::min(1.0, 2000.0 / std::max(image->getWidth(), image->getHeight()));
        COffscreenDrawView view(&doc, float(renderZoom));
        const QSize renderSize(std::max(1, int(image->getWidth() * renderZoom)),
                               std::max(1, int(image->getHeight() * renderZoom)));
        QImage rendered = view.Render(renderSize);
        {
            QPainter lanes(&rendered);
            Analysis1DOptions &options = doc.GetAnalysisOptions();
            LanesOptions laneOptions = options.m_LanesOptions;
            laneOptions.m_Show_Number = 1; // the table refers to them
            for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
                analysis.GetLane(i).Draw(&lanes, &view, i, &laneOptions, &options.m_BandsOptions);
        }
        layout.painter().drawImage(QRectF(QPointF(0, layout.y()), QSizeF(size)), rendered);
    }
    layout.advance(size.height() + pt(4));
    layout.paragraph(QStringLiteral("Lanes are numbered as in the report; green marks the bands."),
                     small, Qt::darkGray);
}

// The band report, its heading on every page.
void tablePages(Layout &layout, ReportData &data)
{
    layout.newPage();
    layout.heading(QStringLiteral("Band report"));
    const ReportTable &table = data.table;
    std::vector<int> columns;
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.isColumnVisible(c))
            columns.push_back(c);
    }
    // The font that lets the widest cell of every column fit across the page.
    double points = 7.5;
    std::vector<double> widths;
    for (;; points -= 0.5) {
        const QFont f = layout.font(points);
        const QFont bold = layout.font(points, true);
        widths.clear();
        double total = 0;
        for (const int c : columns) {
            double w = 0;
            for (const QString &word : table.heading(c).split(u' '))
                w = std::max(w, layout.textWidth(bold, word));
            for (int r = 0; r < table.rowCount(); ++r)
                w = std::max(w, layout.textWidth(f, table.cell(r, c)));
            w += pt(6);
            widths.push_back(w);
            total += w;
        }
        if (total <= layout.width() || points <= 4.0) {
            // Spread what is left over the columns.
            const double extra = std::max(0.0, (layout.width() - total) / double(columns.size()));
            for (double &w : widths)
                w += extra;
            break;
        }
    }
    const QFont f = layout.font(points);
    const QFont bold = layout.font(points, true);
    const double rowHeight = layout.lineHeight(f) * 1.25;
    // As high as the longest heading wraps to in its column.
    double headingHeight = layout.lineHeight(bold) * 2;
    for (size_t i = 0; i < columns.size(); ++i)
        headingHeight = std::max(
            headingHeight, layout.textHeight(bold, table.heading(columns[i]), widths[i] - pt(2)));
    headingHeight += layout.lineHeight(bold) * 0.4;

    auto drawHeading = [&]() {
        if (layout.painting()) {
            QPainter &p = layout.painter();
            p.setFont(bold);
            p.setPen(kInk);
            p.fillRect(QRectF(0, layout.y(), layout.width(), headingHeight),
                       QColor(0xEE, 0xEE, 0xEE));
            double x = 0;
            for (size_t i = 0; i < columns.size(); ++i) {
                p.drawText(QRectF(x + pt(1), layout.y(), widths[i] - pt(2), headingHeight),
                           Qt::AlignCenter | Qt::TextWordWrap, table.heading(columns[i]));
                x += widths[i];
            }
        }
        layout.advance(headingHeight);
    };
    drawHeading();
    for (int r = 0; r < table.rowCount(); ++r) {
        if (layout.y() + rowHeight > layout.height() - pt(24)) {
            layout.newPage();
            drawHeading();
        }
        if (layout.painting()) {
            QPainter &p = layout.painter();
            // A line above each lane's first row keeps the lanes apart.
            if (table.rowBand(r) == 0 || r == 0) {
                p.setPen(QPen(kGrid, pt(0.5)));
                p.drawLine(QPointF(0, layout.y()), QPointF(layout.width(), layout.y()));
            }
            p.setFont(f);
            double x = 0;
            for (size_t i = 0; i < columns.size(); ++i) {
                const int c = columns[i];
                const bool warn = (c == ReportTable::ColSaturated && !table.cell(r, c).isEmpty())
                    || table.cell(r, c).endsWith(ReportTable::extrapolatedMark());
                p.setPen(warn ? kWarning : kInk);
                p.drawText(QRectF(x, layout.y(), widths[i], rowHeight), Qt::AlignCenter,
                           table.cell(r, c));
                x += widths[i];
            }
        }
        layout.advance(rowHeight);
    }
    layout.advance(rowHeight * 0.5);
    for (const QString &note : table.footnotes())
        layout.paragraph(note, f);
    if (table.hasSaturatedColumn())
        layout.paragraph(QStringLiteral("Saturated: pixels of the band at the largest value of "
                                        "the picture's depth; its intensity reads too low."),
                         f);
}

// All lanes' profiles together, then one small graph per lane.
void laneGraphPages(Layout &layout, ReportData &data)
{
    Analysis1D &analysis = data.analysis;
    if (analysis.GetNumberOfLanes() == 0)
        return;
    layout.newPage();
    layout.heading(QStringLiteral("Lane profiles"));
    {
        Range x;
        Range y;
        x.include(0);
        for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
            const CIntDataArray &profile = *analysis.GetLane(l).GetProfile();
            x.include(std::max(1, profile.GetSize() - 1));
            for (int i = 0; i < profile.GetSize(); ++i)
                y.include(profile[i]);
        }
        y.pad(0.05);
        const double h = layout.width() * 0.55;
        Plot plot(layout, QRectF(0, layout.y(), layout.width(), h), x, y,
                  QStringLiteral("Row (analysis area)"), QStringLiteral("Intensity"));
        for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
            const CIntDataArray &profile = *analysis.GetLane(l).GetProfile();
            std::vector<QPointF> line;
            for (int i = 0; i < profile.GetSize(); ++i)
                line.emplace_back(i, profile[i]);
            plot.polyline(line, QPen(kLaneColours[size_t(l) % std::size(kLaneColours)], pt(0.6)));
        }
        layout.advance(h);
        // Legend: one coloured mark per lane.
        const QFont f = layout.font(7);
        double x0 = 0;
        const double lh = layout.lineHeight(f);
        layout.advance(lh * 0.5);
        for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
            const QString text = QStringLiteral("Lane %1").arg(l + 1);
            const double w = layout.textWidth(f, text) + pt(16);
            if (x0 + w > layout.width()) {
                x0 = 0;
                layout.advance(lh * 1.2);
            }
            if (layout.painting()) {
                QPainter &p = layout.painter();
                p.setPen(QPen(kLaneColours[size_t(l) % std::size(kLaneColours)], pt(1.5)));
                p.drawLine(QPointF(x0, layout.y() + lh / 2),
                           QPointF(x0 + pt(8), layout.y() + lh / 2));
                p.setFont(f);
                p.setPen(kInk);
                p.drawText(QPointF(x0 + pt(10), layout.y() + lh * 0.8), text);
            }
            x0 += w;
        }
        layout.advance(lh * 2);
    }
    // Small multiples, two across.
    const double cellW = layout.width() / 2;
    const double cellH = cellW * 0.62;
    for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
        if (l % 2 == 0)
            layout.ensure(cellH);
        const double x = (l % 2) * cellW;
        laneGraph(layout, QRectF(x, layout.y(), cellW - pt(6), cellH - pt(6)), analysis.GetLane(l),
                  l,
                  QStringLiteral("Lane %1: %2 bands")
                      .arg(l + 1)
                      .arg(analysis.GetLane(l).GetNumberOfBands()));
        if (l % 2 == 1 || l + 1 == analysis.GetNumberOfLanes())
            layout.advance(cellH);
    }
    layout.paragraph(QStringLiteral("Profile (lane colour), background (green, dashed) and the "
                                    "fitted Gaussians (red) above it; numbers mark the bands."),
                     layout.font(7), Qt::darkGray);
}

// One calibration: curve and points, residuals under it, and its table.
void calibrationSection(Layout &layout, const CalibrationQuality &q, const QString &title,
                        const QString &xTitle, const QString &yTitle)
{
    const QFont f = layout.font(8);
    const double plotH = layout.width() * 0.45;
    const double residualH = layout.width() * 0.22;
    if (!q.isFitted()) {
        layout.ensure(layout.lineHeight(f) * 6);
        layout.heading(title);
        layout.paragraph(
            q.knownBands().empty()
                ? QStringLiteral("No band has a known value: no calibration.")
                : QStringLiteral("%1 known bands: too few for the %2 curve (Need More Variables).")
                      .arg(q.knownBands().size())
                      .arg(CalibrationManager::CurveLabel(q.curveType()).toLower()),
            f);
        layout.advance(layout.lineHeight(f));
        return;
    }
    layout.ensure(plotH + residualH + layout.lineHeight(f) * 6);
    layout.heading(title);
    layout.paragraph(QStringLiteral("Regression Curve (%1)  R=%2, from %3 known bands")
                         .arg(CalibrationManager::CurveLabel(q.curveType()))
                         .arg(q.correlation(), 0, 'f', 4)
                         .arg(q.knownBands().size()),
                     f);
    Range x;
    Range y;
    for (const CalibrationQuality::KnownBand &k : q.knownBands()) {
        x.include(k.x);
        y.include(k.known);
    }
    x.pad(0.05);
    constexpr int kSamples = 200;
    std::vector<QPointF> curve;
    for (int i = 0; i <= kSamples; ++i) {
        const double xi = q.minimumX() + (q.maximumX() - q.minimumX()) * i / kSamples;
        const double yi = CalibrationManager::Evaluate(q.curveType(), q.coefficients(), xi);
        if (std::isfinite(yi)) {
            curve.emplace_back(xi, yi);
            y.include(yi);
        }
    }
    y.pad(0.08);
    {
        Plot plot(layout, QRectF(0, layout.y(), layout.width(), plotH), x, y, xTitle, yTitle);
        plot.polyline(curve, QPen(QColor(0x1F, 0x77, 0xB4), pt(0.8)));
        for (const CalibrationQuality::KnownBand &k : q.knownBands())
            plot.dot(k.x, k.known, pt(2), QColor(0x20, 0x20, 0x20));
    }
    layout.advance(plotH);
    {
        Range ry;
        ry.include(-1);
        ry.include(1);
        for (const CalibrationQuality::KnownBand &k : q.knownBands()) {
            if (k.hasLeaveOneOut) {
                ry.include(k.leaveOneOutErrorPercent);
                ry.include(-k.leaveOneOutErrorPercent);
            }
        }
        ry.pad(0.1);
        Plot plot(layout, QRectF(0, layout.y(), layout.width(), residualH), x, ry, xTitle,
                  QStringLiteral("LOO error (%)"));
        plot.polyline({QPointF(x.low, 0), QPointF(x.high, 0)},
                      QPen(Qt::gray, pt(0.5), Qt::DashLine));
        const int worst = q.worstKnownBand();
        for (size_t i = 0; i < q.knownBands().size(); ++i) {
            const CalibrationQuality::KnownBand &k = q.knownBands()[i];
            if (k.hasLeaveOneOut)
                plot.dot(k.x, k.leaveOneOutErrorPercent, pt(int(i) == worst ? 2.6 : 1.8),
                         int(i) == worst ? kWarning : QColor(0xC0, 0x70, 0x30), int(i) == worst);
        }
    }
    layout.advance(residualH + layout.lineHeight(f) * 0.5);

    // The known bands, one row each, in columns.
    const QFont cellFont = layout.font(7);
    const QFont headFont = layout.font(7, true);
    const QStringList head = {QStringLiteral("Lane,Band"),
                              xTitle,
                              yTitle,
                              QStringLiteral("fitted"),
                              QStringLiteral("leave-one-out"),
                              QStringLiteral("error %")};
    const double columnW = layout.width() / double(head.size());
    const double rowH = layout.lineHeight(cellFont) * 1.2;
    auto row = [&](const QStringList &cells, const QFont &font, const QColor &colour) {
        layout.ensure(rowH);
        if (layout.painting()) {
            QPainter &p = layout.painter();
            p.setFont(font);
            p.setPen(colour);
            for (int c = 0; c < cells.size(); ++c)
                p.drawText(QRectF(c * columnW, layout.y(), columnW, rowH), Qt::AlignCenter,
                           cells[c]);
        }
        layout.advance(rowH);
    };
    row(head, headFont, kInk);
    const int worst = q.worstKnownBand();
    for (size_t i = 0; i < q.knownBands().size(); ++i) {
        const CalibrationQuality::KnownBand &k = q.knownBands()[i];
        row({QStringLiteral("%1,%2").arg(k.lane + 1).arg(k.band + 1), number(k.x, 0),
             number(k.known, 2), number(k.fitted, 2),
             k.hasLeaveOneOut ? number(k.leaveOneOut, 2) : QStringLiteral("-"),
             k.hasLeaveOneOut ? QString::asprintf("%+.1f", k.leaveOneOutErrorPercent)
                              : QStringLiteral("-")},
            cellFont, int(i) == worst ? kWarning : kInk);
    }
    layout.advance(layout.lineHeight(f));
}

void calibrationPages(Layout &layout, ReportData &data)
{
    layout.newPage();
    calibrationSection(layout, data.mw, QStringLiteral("MW Calibration"),
                       QStringLiteral("Band migration (row)"), QStringLiteral("known Mol. Weight"));
    calibrationSection(layout, data.amounts, QStringLiteral("Intensity Calibration"),
                       QStringLiteral("calculated intensity"), QStringLiteral("known amount"));
}

void closingPage(Layout &layout, Analysis1DDoc &doc, const QString &version)
{
    layout.advance(layout.lineHeight(layout.font(9)));
    layout.heading(QStringLiteral("Warnings"));
    const QFont f = layout.font(8.5);
    for (const QString &line : AnalysisReportPdf::WarningLines(doc))
        layout.paragraph(line, f, line.startsWith(QStringLiteral("No ")) ? kInk : kWarning);
    layout.advance(layout.lineHeight(f) * 2);
    layout.heading(QStringLiteral("Methods"));
    layout.paragraph(AnalysisReportPdf::MethodsText(doc, version), layout.font(9));
}

// Lays the whole report out on the writer; returns the pages written.
int layOut(QPdfWriter *writer, Analysis1DDoc &doc, const AnalysisReportPdf::Info &info)
{
    ReportData data(doc);
    Layout layout(writer);
    layout.setFooterText(QStringLiteral("%1 - Densora %2")
                             .arg(QFileInfo(info.pictureName).fileName(), info.programVersion));
    layout.footer();
    titlePage(layout, data, info);
    tablePages(layout, data);
    laneGraphPages(layout, data);
    calibrationPages(layout, data);
    closingPage(layout, doc, info.programVersion);
    layout.end();
    return layout.pages();
}

} // namespace

QStringList AnalysisReportPdf::WarningLines(Analysis1DDoc &doc)
{
    QStringList lines;
    const Analysis1D *analysis = doc.GetAnalysis();
    if (!analysis)
        return lines;
    int saturated = 0;
    for (int l = 0; l < analysis->GetNumberOfLanes(); ++l) {
        const Lane &lane = analysis->GetLane(l);
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            const int pixels = lane.GetBand(b).GetSaturatedPixels();
            if (pixels > 0) {
                lines << QStringLiteral("Lane %1, band %2: %3 saturated pixels; its intensity "
                                        "reads too low.")
                             .arg(l + 1)
                             .arg(b + 1)
                             .arg(pixels);
                ++saturated;
            }
        }
    }
    if (saturated == 0)
        lines << QStringLiteral("No band has saturated pixels.");
    int extrapolated = 0;
    for (const auto &[kind, what] :
         {std::pair(CalibrationQuality::Kind::MolecularWeight, QStringLiteral("MW")),
          std::pair(CalibrationQuality::Kind::Intensity, QStringLiteral("Conc."))}) {
        const CalibrationQuality q = CalibrationQuality::Measure(*analysis, kind);
        for (int l = 0; l < analysis->GetNumberOfLanes(); ++l) {
            const Lane &lane = analysis->GetLane(l);
            for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
                if (q.isExtrapolated(*lane.GetBand(b).getData())) {
                    lines << QStringLiteral("Lane %1, band %2: %3 extrapolated, outside the "
                                            "range of the known values.")
                                 .arg(l + 1)
                                 .arg(b + 1)
                                 .arg(what);
                    ++extrapolated;
                }
            }
        }
    }
    if (extrapolated == 0)
        lines << QStringLiteral("No calibrated value is extrapolated.");
    return lines;
}

QString AnalysisReportPdf::MethodsText(Analysis1DDoc &doc, const QString &programVersion)
{
    const Analysis1D *analysis = doc.GetAnalysis();
    if (!analysis)
        return QString();
    const TVFImage *image = doc.GetImage();
    const int bits = image ? int(image->getBitsPerPixel()) : 0;
    QString text
        = QStringLiteral("Bands were detected and quantified with Densora %1").arg(programVersion);
    if (image)
        text += QStringLiteral(" on a %1-bit picture of %2 x %3 pixels")
                    .arg(bits)
                    .arg(image->getWidth())
                    .arg(image->getHeight());
    text += QStringLiteral(". Lane profiles were taken as the mean over a beam of %1 pixels "
                           "across each lane (lanes %2 pixels wide), row by row; the background "
                           "of each lane was the moving minimum of its profile over a window of "
                           "1.5 band heights. Bands were found as Gaussian peaks of the profile "
                           "rising above %3 % of the largest value; each band's intensity is the "
                           "sum of its pixel values above the local background inside its "
                           "contour, traced at %4 % between the band's faintest and strongest "
                           "values.")
                .arg(analysis->GetBeamWidth())
                .arg(analysis->GetLaneWidth())
                .arg(analysis->GetPeakHeightThreshold() * 100.0, 0, 'g', 3)
                .arg(doc.GetAnalysisOptions().m_BandsOptions.m_BoundryPercentage);
    if (!analysis->GetWhiteOnBlack())
        text += QStringLiteral(" The picture was inverted first, as its bands are darker than "
                               "the background.");
    const CalibrationQuality mw
        = CalibrationQuality::Measure(*analysis, CalibrationQuality::Kind::MolecularWeight);
    if (mw.isFitted())
        text += QStringLiteral(" Molecular weights were read from a %1 curve of migration "
                               "fitted to %2 bands of known weight (R = %3).")
                    .arg(CalibrationManager::CurveLabel(mw.curveType()).toLower())
                    .arg(mw.knownBands().size())
                    .arg(mw.correlation(), 0, 'f', 4);
    const CalibrationQuality amounts
        = CalibrationQuality::Measure(*analysis, CalibrationQuality::Kind::Intensity);
    if (amounts.isFitted())
        text += QStringLiteral(" Amounts were read from a %1 curve of intensity fitted to %2 "
                               "bands of known amount (R = %3).")
                    .arg(CalibrationManager::CurveLabel(amounts.curveType()).toLower())
                    .arg(amounts.knownBands().size())
                    .arg(amounts.correlation(), 0, 'f', 4);
    if (analysis->CountSaturatedBands() > 0)
        text += QStringLiteral(" %1 bands had saturated pixels; their intensities are lower "
                               "bounds.")
                    .arg(analysis->CountSaturatedBands());
    return text;
}

namespace {

// The report as PDF bytes into 'out'; the pages written.
int render(QIODevice *out, Analysis1DDoc &doc, const AnalysisReportPdf::Info &info)
{
    QPdfWriter writer(out);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setTitle(
        QStringLiteral("Gel analysis report: %1").arg(QFileInfo(info.pictureName).fileName()));
    writer.setCreator(QStringLiteral("Densora %1").arg(info.programVersion));
    return layOut(&writer, doc, info);
}

} // namespace

int AnalysisReportPdf::PageCount(Analysis1DDoc &doc, const Info &info)
{
    if (!doc.GetAnalysis())
        return 0;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return render(&buffer, doc, info);
}

bool AnalysisReportPdf::Write(Analysis1DDoc &doc, const QString &path, const Info &info,
                              QString *error)
{
    if (!doc.GetAnalysis()) {
        if (error)
            *error = QStringLiteral("the document holds no analysis");
        return false;
    }
    // Made in memory first, so a failure leaves no half-written file behind.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    render(&buffer, doc, info);
    buffer.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(buffer.data());
    return commitSaveFile(file, error);
}
