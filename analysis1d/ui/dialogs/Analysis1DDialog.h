#pragma once

// Common base of the analysis's modeless dialogs: the view they work on and
// the analysis they drive. When the analysis goes first (the document closes,
// another analysis starts) it lets go of its dialogs through AnalysisGone,
// after which a dialog only closes.

#include <QDialog>

class Analysis1D;
class Analysis1DView;
class AnalysisViewSeam;

class Analysis1DDialog : public QDialog
{
    Q_OBJECT
public:
    Analysis1DDialog(QWidget *parent, Analysis1DView *view, Analysis1D *analysis);

    Analysis1D *GetAnalysis() const { return m_analysis; }
    // The analysis is being destroyed: forget it, hide, and go.
    void AnalysisGone();

protected:
    // The view's seam, or null (no view attached one).
    AnalysisViewSeam *viewSeam() const;
    void repaintView() const;

    Analysis1DView *m_pView;
    Analysis1D *m_analysis;
};
