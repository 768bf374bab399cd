#pragma once

// The analysis options sheet: pages for the lane graph, the report columns,
// the band drawing and the others. The pages write the document's options at
// each click; Apply stores them for the user, repaints the document's views
// and re-measures the analysis with its report and graph; OK does the same and
// closes. Cancel puts back the values last applied, so a cancelled sheet
// leaves nothing behind to be stored when the document closes.

#include "analysis1d/engine/BandsOptions.h"
#include "analysis1d/engine/GeneralOptions.h"
#include "analysis1d/engine/GraphOptions.h"
#include "analysis1d/engine/LanesOptions.h"
#include "analysis1d/engine/ReportOptions.h"

#include <QDialog>

class Analysis1DDoc;
class Analysis1DOptions;
class AnalysisOptionPage;
class PPAnalysisOptionBands;
class PPAnalysisOptionGraph;
class PPAnalysisOptionOthers;
class PPAnalysisOptionReport;
class QDialogButtonBox;
class QPushButton;
class QTabWidget;

class ApplicationOptionsPS : public QDialog
{
    Q_OBJECT
public:
    ApplicationOptionsPS(QWidget *parent, Analysis1DOptions *options, Analysis1DDoc *doc);

    void OnApplyNow();
    void OnIdok();
    void reject() override;

    QTabWidget *Pages() const { return m_tabs; }
    PPAnalysisOptionGraph *GraphPage() const { return m_graph; }
    PPAnalysisOptionReport *ReportPage() const { return m_report; }
    PPAnalysisOptionBands *BandsPage() const { return m_bands; }
    PPAnalysisOptionOthers *OthersPage() const { return m_others; }
    QPushButton *ApplyButton() const;

private:
    QList<AnalysisOptionPage *> pages() const;
    void takeSnapshot();
    void pageModified();

    Analysis1DOptions *m_options;
    Analysis1DDoc *m_doc;
    QTabWidget *m_tabs;
    PPAnalysisOptionGraph *m_graph;
    PPAnalysisOptionReport *m_report;
    PPAnalysisOptionBands *m_bands;
    PPAnalysisOptionOthers *m_others;
    QDialogButtonBox *m_buttons;
    // The values as last applied, for Cancel.
    GeneralOptions m_savedGeneral;
    GraphOptions m_savedGraph;
    ReportOptions m_savedReport;
    BandsOptions m_savedBands;
    LanesOptions m_savedLanes;
};
