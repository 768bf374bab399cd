#pragma once

// The calibration sheet's values page: every band with a known amount or
// molecular weight, one row each. Remove clears both known values of the
// selected rows' bands; Add lets the user pick further bands on the gel; "w
// Ladder" turns one lane's known weights into a stored ladder. The last two
// columns give each known band's leave-one-out error for the chosen curves,
// the largest in bold.

#include <QWidget>

class Analysis1D;
class Analysis1DView;
class QTreeWidget;

class CalibrationMainPP : public QWidget
{
    Q_OBJECT
public:
    // The columns after the five classic ones.
    static constexpr int kLooAmountColumn = 5;
    static constexpr int kLooMWColumn = 6;
    static constexpr int kColumnCount = 7;

    CalibrationMainPP(Analysis1D *analysis, Analysis1DView *view, QWidget *parent = nullptr);

    void Fill();
    void OnRemove();
    void OnAdd();
    void OnMakeLadder();

    QTreeWidget *List() const { return m_list; }

signals:
    // The known values changed (the graph pages replot).
    void valuesChanged();
    // Add: the sheet closes while the user picks a band.
    void closeSheet();

private:
    Analysis1D *m_analysis;
    Analysis1DView *m_view;
    QTreeWidget *m_list;
};
