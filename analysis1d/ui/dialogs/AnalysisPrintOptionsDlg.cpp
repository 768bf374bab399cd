#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

AnalysisPrintOptionsDlg::AnalysisPrintOptionsDlg(QWidget *parent, bool reportAvailable,
                                                 bool graphAvailable)
    : QDialog(parent),
      m_image(new QCheckBox(QStringLiteral("Print Image"))),
      m_report(new QCheckBox(QStringLiteral("Print Report"))),
      m_graph(new QCheckBox(QStringLiteral("Print Graph")))
{
    setObjectName(QStringLiteral("AnalysisPrintOptionsDlg"));
    setWindowTitle(QStringLiteral("Analysis Print Options"));
    m_image->setObjectName(QStringLiteral("printImage"));
    m_report->setObjectName(QStringLiteral("printReport"));
    m_graph->setObjectName(QStringLiteral("printGraph"));
    m_report->setEnabled(reportAvailable);
    m_graph->setEnabled(graphAvailable);
    const QString closedPane = QStringLiteral("Open \"Analysis Data\" to print the %1.");
    if (!reportAvailable)
        m_report->setToolTip(closedPane.arg(QStringLiteral("report")));
    if (!graphAvailable)
        m_graph->setToolTip(closedPane.arg(QStringLiteral("graph")));

    auto *group = new QGroupBox(QStringLiteral("Print"));
    auto *boxes = new QVBoxLayout(group);
    boxes->addWidget(m_image);
    boxes->addWidget(m_report);
    boxes->addWidget(m_graph);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QCheckBox *box : {m_image, m_report, m_graph})
        connect(box, &QCheckBox::toggled, this, &AnalysisPrintOptionsDlg::updateOk);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    updateOk();
}

bool AnalysisPrintOptionsDlg::PrintImage() const
{
    return m_image->isChecked();
}

bool AnalysisPrintOptionsDlg::PrintReport() const
{
    return m_report->isEnabled() && m_report->isChecked();
}

bool AnalysisPrintOptionsDlg::PrintGraph() const
{
    return m_graph->isEnabled() && m_graph->isChecked();
}

// Nothing checked would print an empty job.
void AnalysisPrintOptionsDlg::updateOk()
{
    m_ok->setEnabled(PrintImage() || PrintReport() || PrintGraph());
}
