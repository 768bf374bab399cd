#pragma once

// The calibration sheet: the known values, the intensity calibration graph
// and the molecular-weight calibration graph.

#include <QDialog>

class Analysis1D;
class Analysis1DView;
class CalibrationIntensityGraph;
class CalibrationLengthGraph;
class CalibrationMainPP;
class QTabWidget;

class CalibrationPS : public QDialog
{
    Q_OBJECT
public:
    CalibrationPS(QWidget *parent, Analysis1D *analysis, Analysis1DView *view);

    QTabWidget *Pages() const { return m_tabs; }
    CalibrationMainPP *ValuesPage() const { return m_values; }
    CalibrationIntensityGraph *IntensityPage() const { return m_intensity; }
    CalibrationLengthGraph *MWPage() const { return m_mw; }

private:
    QTabWidget *m_tabs;
    CalibrationMainPP *m_values;
    CalibrationIntensityGraph *m_intensity;
    CalibrationLengthGraph *m_mw;
};
