#include "analysis1d/ui/dialogs/CalibrationPS.h"

#include "analysis1d/ui/dialogs/CalibrationIntensityGraph.h"
#include "analysis1d/ui/dialogs/CalibrationLengthGraph.h"
#include "analysis1d/ui/dialogs/CalibrationMainPP.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

CalibrationPS::CalibrationPS(QWidget *parent, Analysis1D *analysis, Analysis1DView *view)
    : QDialog(parent), m_tabs(new QTabWidget), m_values(new CalibrationMainPP(analysis, view)),
      m_intensity(new CalibrationIntensityGraph(analysis)),
      m_mw(new CalibrationLengthGraph(analysis))
{
    setWindowTitle(tr("Calibration"));
    m_tabs->addTab(m_values, tr("Calibration Values"));
    m_tabs->addTab(m_intensity, tr("Intensity Calibration"));
    m_tabs->addTab(m_mw, tr("MW Calibration"));
    connect(m_values, &CalibrationMainPP::valuesChanged, m_intensity, &CalibrationGraph::Plot);
    connect(m_values, &CalibrationMainPP::valuesChanged, m_mw, &CalibrationGraph::Plot);
    connect(m_values, &CalibrationMainPP::closeSheet, this, &CalibrationPS::accept);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationPS::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(560, 460);
}
