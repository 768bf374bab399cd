#include "analysis1d/ui/dialogs/AnalysisWizardPage.h"

#include <QLabel>
#include <QVBoxLayout>

AnalysisWizardPage::AnalysisWizardPage(const QString &title, const QStringList &texts,
                                       QWidget *parent)
    : QWidget(parent), m_title(title), m_layout(new QVBoxLayout(this))
{
    for (const QString &text : texts) {
        auto *label = new QLabel(text, this);
        label->setWordWrap(true);
        m_layout->addWidget(label);
    }
}
