#pragma once

// The analysis as one JSON document for other programs: the picture, the
// analysis area, the threshold, and per lane its bands with every measured
// quantity as a plain number (unknown values are null) and its saturated
// pixels; under "calibration", for "mw" and "amount", the curve, each known
// band's leave-one-out value and error in percent, and the bands whose
// calibrated value is extrapolated.

#include <QJsonObject>
#include <QString>

class Analysis1DDoc;

class AnalysisJson
{
public:
    // imagePath: the picture analysed (empty when the analysis came from a
    // document); documentPath: the document read or saved (may be empty).
    static QJsonObject Build(const Analysis1DDoc &doc, const QString &imagePath,
                             const QString &documentPath);
};
