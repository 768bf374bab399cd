#pragma once

#include "analysis1d/ui/dialogs/CalibrationGraph.h"

// Known molecular weights (y) against the bands' migration rows (x).
class CalibrationLengthGraph : public CalibrationGraph
{
    Q_OBJECT
public:
    CalibrationLengthGraph(Analysis1D *analysis, QWidget *parent = nullptr);

protected:
    int currentType() const override;
    void setCurrentType(int type) override;
    void points(CDoubleDataArray &x, CDoubleDataArray &y) const override;
    QString xTitle() const override { return QStringLiteral("Band migration"); }
    QString yTitle() const override { return QStringLiteral("known Mol. Weight"); }
    CalibrationQuality::Kind kind() const override
    {
        return CalibrationQuality::Kind::MolecularWeight;
    }
};
