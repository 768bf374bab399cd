#include "analysis1d/ui/dialogs/CalibrationGraph.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "data/CDoubleDataArray.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <tuple>

const QString CalibrationGraph::c_needMoreVariables = QStringLiteral("Need More Variables");

namespace {
constexpr int kCurveSamples = 200;
}

CalibrationGraph::CalibrationGraph(Analysis1D *analysis, QWidget *parent)
    : QWidget(parent), m_analysis(analysis), m_view(new QChartView), m_residualView(new QChartView),
      m_types(new QComboBox)
{
    for (int type = CalibrationManager::CurveLinear; type <= CalibrationManager::CurveLogarithmic;
         ++type)
        m_types->addItem(CalibrationManager::CurveLabel(type));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(420, 300);
    m_residualView->setRenderHint(QPainter::Antialiasing);
    m_residualView->setMinimumSize(420, 200);
    m_residualView->setToolTip(
        tr("Leave-one-out error of each known band: the curve fitted without the band, "
           "read at it, against its known value, in percent."));
    auto *form = new QFormLayout;
    form->addRow(tr("Regression:"), m_types);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_view, 3);
    layout->addWidget(m_residualView, 1);
}

int CalibrationGraph::EntryForType(int curveType)
{
    switch (curveType) {
    case CalibrationManager::CurveSecondOrder:
        return 1;
    case CalibrationManager::CurveThirdOrder:
        return 2;
    case CalibrationManager::CurveLogarithmic:
        return 3;
    default:
        return 0;
    }
}

void CalibrationGraph::Initialise()
{
    {
        const QSignalBlocker block(m_types);
        m_types->setCurrentIndex(EntryForType(currentType()));
    }
    connect(m_types, &QComboBox::activated, this, &CalibrationGraph::OnTypeChosen);
    Plot();
}

QChart *CalibrationGraph::Chart() const
{
    return m_view->chart();
}

QString CalibrationGraph::Title() const
{
    return Chart()->title();
}

QChart *CalibrationGraph::ResidualChart() const
{
    return m_residualView->chart();
}

void CalibrationGraph::OnTypeChosen(int index)
{
    if (m_types->currentIndex() != index) {
        const QSignalBlocker block(m_types);
        m_types->setCurrentIndex(index);
    }
    setCurrentType(index + CalibrationManager::CurveLinear);
    if (m_analysis)
        m_analysis->UpdateReportAndGraph();
    Plot();
}

// The page's type is the combo's: a stored "none" is plotted as linear, the
// entry the page shows for it.
void CalibrationGraph::Plot()
{
    auto chart = std::make_unique<QChart>();
    chart->legend()->hide();
    CDoubleDataArray x;
    CDoubleDataArray y;
    points(x, y);
    const int type = m_types->currentIndex() + CalibrationManager::CurveLinear;

    auto *axisX = new QValueAxis;
    auto *axisY = new QValueAxis;
    axisX->setTitleText(xTitle());
    axisY->setTitleText(yTitle());
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    auto *scatter = new QScatterSeries;
    scatter->setMarkerSize(9);
    double minX = 0, maxX = 1, minY = 0, maxY = 1;
    for (int i = 0; i < x.GetSize(); ++i) {
        scatter->append(x[i], y[i]);
        minX = i == 0 ? x[i] : std::min(minX, x[i]);
        maxX = i == 0 ? x[i] : std::max(maxX, x[i]);
        minY = i == 0 ? y[i] : std::min(minY, y[i]);
        maxY = i == 0 ? y[i] : std::max(maxY, y[i]);
    }
    chart->addSeries(scatter);
    scatter->attachAxis(axisX);
    scatter->attachAxis(axisY);

    QString title;
    CDoubleDataArray coefficients;
    if (x.GetSize() < CalibrationManager::MinimumPoints(type)) {
        title = c_needMoreVariables;
    } else {
        title = QStringLiteral("Regression Curve (%1)").arg(CalibrationManager::CurveLabel(type));
        if (CalibrationManager::Fit(type, x, y, coefficients) && coefficients.GetSize() > 0) {
            const double r = coefficients[coefficients.GetSize() - 1];
            title += QStringLiteral("  R=%1").arg(r, 0, 'f', 4);
            auto *curve = new QLineSeries;
            for (int i = 0; i <= kCurveSamples; ++i) {
                const double xi = minX + (maxX - minX) * i / kCurveSamples;
                const double yi = CalibrationManager::Evaluate(type, coefficients, xi);
                if (!std::isfinite(yi))
                    continue;
                curve->append(xi, yi);
                minY = std::min(minY, yi);
                maxY = std::max(maxY, yi);
            }
            chart->addSeries(curve);
            curve->attachAxis(axisX);
            curve->attachAxis(axisY);
        }
    }
    // Some room around the points, so none sits on the frame.
    const double padX = maxX > minX ? 0.05 * (maxX - minX) : 1.0;
    const double padY = maxY > minY ? 0.05 * (maxY - minY) : 1.0;
    for (auto [axis, low, high] : {std::tuple(axisX, minX - padX, maxX + padX),
                                   std::tuple(axisY, minY - padY, maxY + padY)}) {
        axis->setRange(low, high);
        axis->applyNiceNumbers();
        axis->setLabelFormat(QStringLiteral("%.4g"));
    }
    chart->setTitle(title);
    QChart *old = m_view->chart();
    m_view->setChart(chart.release());
    delete old;
    plotResiduals(minX - padX, maxX + padX);
}

void CalibrationGraph::plotResiduals(double minX, double maxX)
{
    const int type = m_types->currentIndex() + CalibrationManager::CurveLinear;
    // The type the page shows (a stored "none" is shown as linear).
    m_quality = m_analysis ? CalibrationQuality::Measure(*m_analysis->GetLanes(), type, kind())
                           : CalibrationQuality();

    auto chart = std::make_unique<QChart>();
    chart->legend()->hide();
    auto *axisX = new QValueAxis;
    auto *axisY = new QValueAxis;
    axisY->setTitleText(tr("LOO error %"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    auto *zero = new QLineSeries;
    zero->append(minX, 0.0);
    zero->append(maxX, 0.0);
    zero->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    chart->addSeries(zero);
    zero->attachAxis(axisX);
    zero->attachAxis(axisY);

    auto *errors = new QScatterSeries;
    errors->setMarkerSize(8);
    errors->setColor(QColor(0xC0, 0x40, 0x20));
    auto *worst = new QScatterSeries;
    worst->setMarkerSize(12);
    worst->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    worst->setColor(QColor(0xE0, 0x10, 0x10));
    double largest = 1.0;
    const int worstIndex = m_quality.worstKnownBand();
    const auto &known = m_quality.knownBands();
    for (size_t i = 0; i < known.size(); ++i) {
        if (!known[i].hasLeaveOneOut)
            continue;
        (int(i) == worstIndex ? worst : errors)
            ->append(known[i].x, known[i].leaveOneOutErrorPercent);
        largest = std::max(largest, std::fabs(known[i].leaveOneOutErrorPercent));
    }
    for (QScatterSeries *series : {errors, worst}) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    if (worstIndex < 0) {
        chart->setTitle(tr("Leave-one-out errors: too few known bands"));
    } else {
        const CalibrationQuality::KnownBand &w = known[size_t(worstIndex)];
        chart->setTitle(tr("Leave-one-out errors; largest %1 % (lane %2, band %3)")
                            .arg(w.leaveOneOutErrorPercent, 0, 'f', 1)
                            .arg(w.lane + 1)
                            .arg(w.band + 1));
    }
    axisX->setRange(minX, maxX);
    axisX->applyNiceNumbers();
    axisX->setLabelFormat(QStringLiteral("%.4g"));
    axisY->setRange(-1.1 * largest, 1.1 * largest);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->setMargins(QMargins(4, 2, 4, 2));
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 0.9);
    chart->setTitleFont(titleFont);
    QChart *old = m_residualView->chart();
    m_residualView->setChart(chart.release());
    delete old;
}
