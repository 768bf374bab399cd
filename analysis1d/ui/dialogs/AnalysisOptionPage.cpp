#include "analysis1d/ui/dialogs/AnalysisOptionPage.h"

#include <QCheckBox>
#include <QVBoxLayout>

AnalysisOptionPage::AnalysisOptionPage(QWidget *parent)
    : QWidget(parent), m_layout(new QVBoxLayout(this))
{ }

void AnalysisOptionPage::SetModified(bool modified)
{
    m_modified = modified;
    if (modified)
        emit this->modified();
}

QCheckBox *AnalysisOptionPage::addFlag(const QString &label, int *field)
{
    auto *box = new QCheckBox(label, this);
    box->setChecked(*field != 0);
    connect(box, &QCheckBox::toggled, this, [this, field](bool checked) {
        *field = checked ? 1 : 0;
        SetModified(true);
    });
    m_layout->addWidget(box);
    m_flags.append({box, field});
    return box;
}

void AnalysisOptionPage::UpdateControls()
{
    for (const Flag &flag : std::as_const(m_flags)) {
        const QSignalBlocker block(flag.box);
        flag.box->setChecked(*flag.field != 0);
    }
}
