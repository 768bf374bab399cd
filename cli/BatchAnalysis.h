#pragma once

// One analysis without a display: the document with the gel picture, set up
// from the options through the same steps the set-up wizard runs
// (AnalysisSetup), detection at a threshold, the ladder, and the measurement;
// or a saved document opened again.

#include "analysis1d/engine/Analysis1DDoc.h"

#include <QString>
#include <QVector>

#include <memory>

class Analysis1D;
class CliOptions;

class BatchAnalysis
{
public:
    BatchAnalysis();
    ~BatchAnalysis();
    BatchAnalysis(const BatchAnalysis &) = delete;
    BatchAnalysis &operator=(const BatchAnalysis &) = delete;

    // Reads the picture into the document; a colour picture is turned grey, as
    // the analysis needs. False with *error naming the reason.
    bool LoadImage(const QString &path, QString *error);
    // Checks the shapes of the options (gel pixels) against the picture, then
    // runs the set-up steps with them. False with *error when they do not fit
    // the picture: a mistake in the arguments.
    bool SetUp(const CliOptions &options, QString *error);
    // What became of an overlay template applied to the picture.
    enum class TemplateResult {
        Applied, // the analysis is set up from it
        Unusable, // unreadable, damaged or without an analysis: no picture can use it
        DoesNotFit, // its analysis area does not lie on this picture
    };
    // Instead of SetUp: loads the template onto the picture as the desktop
    // program's Load Overlay does (its objects added, the analysis created
    // from its area, example band and tone), then ends the set-up. *error
    // names the reason when it is not applied.
    TemplateResult ApplyTemplate(const QString &path, QString *error);
    // Whether the template can be applied to pictures at all, tried on an
    // empty document; false with *error naming the reason.
    static bool CheckTemplate(const QString &path, QString *error);
    // Detects lanes and bands at the threshold.
    void Detect(double threshold);
    // Gives the bands of lane 'laneNumber' (from 1) the ladder's weights, top
    // to bottom. False with *error when there is no such lane or it has fewer
    // than two bands.
    bool ApplyLadder(int laneNumber, const QVector<double> &weights, QString *error);
    void SetMWCurveType(int type);
    // Measures every band and runs both calibrations.
    void Measure();

    // Opens a saved analysis. False when the document cannot be read or holds
    // no analysis; the reason is in *error.
    bool OpenDocument(const QString &path, QString *error);
    // Saves the document; the previous file stays as it was on failure.
    bool SaveDocument(const QString &path, QString *error);

    Analysis1DDoc &Document() { return *m_pDocument; }
    Analysis1D *Analysis() const;

private:
    // The texts the document showed the user since the last call, joined.
    static QString takeMessages();

    std::unique_ptr<Analysis1DDoc> m_pDocument;
};
