#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/Analysis1DOptions.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionBands.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionGraph.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionOthers.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionReport.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

ApplicationOptionsPS::ApplicationOptionsPS(QWidget *parent, Analysis1DOptions *options,
                                           Analysis1DDoc *doc)
    : QDialog(parent), m_options(options), m_doc(doc), m_tabs(new QTabWidget(this)),
      m_graph(new PPAnalysisOptionGraph(&options->m_GraphOptions)),
      m_report(new PPAnalysisOptionReport(&options->m_ReportOptions)),
      m_bands(new PPAnalysisOptionBands(&options->m_BandsOptions)),
      m_others(new PPAnalysisOptionOthers),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                     | QDialogButtonBox::Apply))
{
    setWindowTitle(tr("Analysis Options"));
    m_tabs->addTab(m_graph, tr("Graph"));
    m_tabs->addTab(m_report, tr("Report"));
    m_tabs->addTab(m_bands, tr("Bands"));
    m_tabs->addTab(m_others, tr("Others"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    for (AnalysisOptionPage *page : pages())
        connect(page, &AnalysisOptionPage::modified, this, &ApplicationOptionsPS::pageModified);
    ApplyButton()->setEnabled(false);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &ApplicationOptionsPS::OnIdok);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ApplicationOptionsPS::reject);
    connect(ApplyButton(), &QPushButton::clicked, this, &ApplicationOptionsPS::OnApplyNow);
    takeSnapshot();
}

QPushButton *ApplicationOptionsPS::ApplyButton() const
{
    return m_buttons->button(QDialogButtonBox::Apply);
}

QList<AnalysisOptionPage *> ApplicationOptionsPS::pages() const
{
    return {m_graph, m_report, m_bands, m_others};
}

void ApplicationOptionsPS::takeSnapshot()
{
    m_savedGeneral = m_options->m_GeneralOptions;
    m_savedGraph = m_options->m_GraphOptions;
    m_savedReport = m_options->m_ReportOptions;
    m_savedBands = m_options->m_BandsOptions;
    m_savedLanes = m_options->m_LanesOptions;
}

void ApplicationOptionsPS::pageModified()
{
    ApplyButton()->setEnabled(true);
}

void ApplicationOptionsPS::OnApplyNow()
{
    m_options->StoreToRegistry();
    if (m_doc) {
        m_doc->UpdateAllViews(nullptr);
        if (Analysis1D *analysis = m_doc->GetAnalysis())
            analysis->UpdateReportAndGraph();
    }
    for (AnalysisOptionPage *page : pages())
        page->SetModified(false);
    ApplyButton()->setEnabled(false);
    takeSnapshot();
}

void ApplicationOptionsPS::OnIdok()
{
    OnApplyNow();
    accept();
}

void ApplicationOptionsPS::reject()
{
    m_options->m_GeneralOptions = m_savedGeneral;
    m_options->m_GraphOptions = m_savedGraph;
    m_options->m_ReportOptions = m_savedReport;
    m_options->m_BandsOptions = m_savedBands;
    m_options->m_LanesOptions = m_savedLanes;
    for (AnalysisOptionPage *page : pages())
        page->UpdateControls();
    QDialog::reject();
}
