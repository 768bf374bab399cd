#pragma once

// What the analysis dialogs (set-up wizard, detection dialog, calibration
// sheet) need of the view they open over, and what the view asks of them. The
// view implements this interface and attaches itself under its own pointer;
// the dialogs, made in analysis1d/ui/, find it from the Analysis1DView* the
// engine hands them. Headless on both sides: the dialog parent is handed over
// as a QObject (the view's window), and a view without a window gives null.
//
// Drawing during the wizard: the wizard makes a tool current (StartTool); the
// view's tool, when the user has drawn the shape, tells the analysis
// (Analysis1D::AnalysisAreaDrawn, ExampleBandDrawn), which enables the
// wizard's "next" button.

#include <QString>
#include <QStringList>

class Analysis1D;
class Analysis1DView;
class BandData;
class CDoubleDataArray;
class CDrawView;
class QObject;

class AnalysisViewSeam
{
public:
    // Tool types the dialogs start.
    static constexpr int kSelectTool = 0;
    static constexpr int kAnalysisAreaTool = 11;
    static constexpr int kExampleBandTool = 13;
    static constexpr int kKnownAmountPickTool = 21;

    virtual ~AnalysisViewSeam();

    // The window the dialogs open over; null when the view has none.
    virtual QObject *DialogParent() const = 0;
    // Deselects every object and repaints the whole view.
    virtual void DeselectAllAndRepaint() = 0;
    // Makes the tool of that type current (kSelectTool: the default tool).
    virtual void StartTool(int toolType) = 0;

    // The seam a view attached, or null. A null view may carry a seam too (a
    // view-less host, off screen).
    static AnalysisViewSeam *For(const Analysis1DView *view);
    static void Attach(const Analysis1DView *view, AnalysisViewSeam *seam);
    // Detaches whatever seam is attached under the view.
    static void Detach(const Analysis1DView *view);
};

// Dialogs the view opens for its calibration and property commands: the
// installed AnalysisWindows open them; headless nothing opens (false).
class AnalysisDialogSeams
{
public:
    AnalysisDialogSeams() = delete;

    // The known-value dialog on one band's record. True when the user pressed
    // OK (values above 0 were then assigned); the caller recalculates.
    static bool EditKnownValues(QObject *parent, BandData &data);
    // The calibration sheet (values, intensity graph, MW graph) of the analysis.
    static void ShowCalibrationValues(QObject *parent, Analysis1D &analysis, Analysis1DView *view);
    // The ladder selection dialog; true with the chosen ladder's weights.
    static bool ChooseLadder(QObject *parent, CDoubleDataArray &values);
    // A titled list of "label|value" lines (lane and band properties).
    static void ShowList(QObject *parent, const QString &title, const QStringList &lines);
    // The window dialogs open over for a drawing view: an analysis view's own,
    // else none.
    static QObject *ParentOf(CDrawView *view);
};
