#include "analysis1d/ui/dialogs/CalibrationLengthGraph.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "data/CDoubleDataArray.h"

CalibrationLengthGraph::CalibrationLengthGraph(Analysis1D *analysis, QWidget *parent)
    : CalibrationGraph(analysis, parent)
{
    Initialise();
}

int CalibrationLengthGraph::currentType() const
{
    return m_analysis ? m_analysis->GetCalibrationManager()->GetMWCurveType()
                      : int(CalibrationManager::CurveNone);
}

void CalibrationLengthGraph::setCurrentType(int type)
{
    if (m_analysis)
        m_analysis->GetCalibrationManager()->SetMWCurveType(type);
}

void CalibrationLengthGraph::points(CDoubleDataArray &x, CDoubleDataArray &y) const
{
    if (m_analysis)
        m_analysis->GetCalibrationManager()->GetMWCalibrationPoints(x, y);
}
