#pragma once

// A calibration graph page: the calibration points of its kind and the
// regression curve of the chosen type, with the correlation in the title, or
// "Need More Variables" when there are too few points for that type. Choosing
// another type stores it in the calibration manager and re-measures.
//
// Under the curve, the residuals: each known band's leave-one-out error in
// percent (the curve fitted without the band, read at it, against its known
// value) over the same x axis, so a misassigned marker stands out.

#include "analysis1d/calibration/CalibrationQuality.h"

#include <QWidget>

class Analysis1D;
class CDoubleDataArray;
class QChart;
class QChartView;
class QComboBox;

class CalibrationGraph : public QWidget
{
    Q_OBJECT
public:
    static const QString c_needMoreVariables; // "Need More Variables"

    // Fills the combo and plots; subclasses call it once constructed.
    void Initialise();
    // Draws the points and the curve again (after the known values changed).
    void Plot();
    void OnTypeChosen(int index);

    QComboBox *TypeList() const { return m_types; }
    QChart *Chart() const;
    // The chart's title as last plotted.
    QString Title() const;
    // The residual chart under the curve and the quality it was drawn from.
    QChart *ResidualChart() const;
    const CalibrationQuality &Quality() const { return m_quality; }
    // The combo entry for a curve type: 2, 3, 4 their entries, any other the first.
    static int EntryForType(int curveType);

protected:
    CalibrationGraph(Analysis1D *analysis, QWidget *parent);

    virtual int currentType() const = 0;
    virtual void setCurrentType(int type) = 0;
    virtual void points(CDoubleDataArray &x, CDoubleDataArray &y) const = 0;
    virtual QString xTitle() const = 0;
    virtual QString yTitle() const = 0;
    virtual CalibrationQuality::Kind kind() const = 0;

    Analysis1D *m_analysis;

private:
    void plotResiduals(double minX, double maxX);

    QChartView *m_view;
    QChartView *m_residualView;
    QComboBox *m_types;
    CalibrationQuality m_quality;
};
