#include "analysis1d/ui/dialogs/CalibrationIntensityGraph.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "data/CDoubleDataArray.h"

CalibrationIntensityGraph::CalibrationIntensityGraph(Analysis1D *analysis, QWidget *parent)
    : CalibrationGraph(analysis, parent)
{
    Initialise();
}

int CalibrationIntensityGraph::currentType() const
{
    return m_analysis ? m_analysis->GetCalibrationManager()->GetIntensityCurveType()
                      : int(CalibrationManager::CurveNone);
}

void CalibrationIntensityGraph::setCurrentType(int type)
{
    if (m_analysis)
        m_analysis->GetCalibrationManager()->SetIntensityCurveType(type);
}

void CalibrationIntensityGraph::points(CDoubleDataArray &x, CDoubleDataArray &y) const
{
    if (m_analysis)
        m_analysis->GetCalibrationManager()->GetIntensityCalibrationPoints(x, y);
}
