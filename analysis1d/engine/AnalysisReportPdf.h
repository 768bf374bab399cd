#pragma once

// The analysis report as a PDF, for a lab notebook or a reviewer: the gel
// with its lanes and bands drawn over it and the settings of the analysis;
// the band report (all lanes, its heading repeated on every page); the lane
// profiles, all lanes together and one small graph per lane with its bands
// and Gaussians; the calibration curves with their correlation and each
// known band's leave-one-out error; the warnings (saturated bands,
// extrapolated values); and a methods paragraph to paste into a paper.
//
// Written with QPdfWriter, so it needs Qt Gui only and runs in the batch tool
// as in the desktop program.

#include <QDateTime>
#include <QString>
#include <QStringList>

class Analysis1DDoc;

class AnalysisReportPdf
{
public:
    struct Info
    {
        QString pictureName; // file the analysis was made on (or the document)
        QString programVersion; // "0.3.0"
        QDateTime date; // when the report was written
    };

    // Writes the report of the document's analysis to path (replacing the file
    // only once it is complete). False with *error when the document holds no
    // analysis or the file cannot be written.
    static bool Write(Analysis1DDoc &doc, const QString &path, const Info &info, QString *error);

    // Pages the report has for this analysis (as Write lays them out).
    static int PageCount(Analysis1DDoc &doc, const Info &info);

    // The paragraph of the last page.
    static QString MethodsText(Analysis1DDoc &doc, const QString &programVersion);
    // The lines of the warnings page: one per saturated band and per
    // extrapolated value, or a line saying there are none.
    static QStringList WarningLines(Analysis1DDoc &doc);
};
