#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"

#include <QRadioButton>
#include <QVBoxLayout>

WhiteOnBlackDlg::WhiteOnBlackDlg(QWidget *parent)
    : AnalysisWizardPage(QStringLiteral("Forground object tone"), {}, parent),
      m_lighter(new QRadioButton(QStringLiteral("Objects are lighter than background"), this)),
      m_darker(new QRadioButton(QStringLiteral("Objects are darker than background"), this))
{
    pageLayout()->addWidget(m_lighter);
    pageLayout()->addWidget(m_darker);
    pageLayout()->addStretch();
    m_lighter->setChecked(true);
}

bool WhiteOnBlackDlg::ReadBack()
{
    m_choice = m_darker->isChecked() ? 1 : 0;
    return true;
}

void WhiteOnBlackDlg::SetChoice(int choice)
{
    (choice == 1 ? m_darker : m_lighter)->setChecked(true);
    m_choice = choice == 1 ? 1 : 0;
}
