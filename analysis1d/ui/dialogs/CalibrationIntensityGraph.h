#pragma once

#include "analysis1d/ui/dialogs/CalibrationGraph.h"

// Known amounts (y) against the bands' calculated intensities (x).
class CalibrationIntensityGraph : public CalibrationGraph
{
    Q_OBJECT
public:
    CalibrationIntensityGraph(Analysis1D *analysis, QWidget *parent = nullptr);

protected:
    int currentType() const override;
    void setCurrentType(int type) override;
    void points(CDoubleDataArray &x, CDoubleDataArray &y) const override;
    QString xTitle() const override { return QStringLiteral("calculated intensity"); }
    QString yTitle() const override { return QStringLiteral("known amount"); }
    CalibrationQuality::Kind kind() const override { return CalibrationQuality::Kind::Intensity; }
};
