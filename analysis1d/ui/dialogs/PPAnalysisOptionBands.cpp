#include "analysis1d/ui/dialogs/PPAnalysisOptionBands.h"

#include "analysis1d/engine/BandsOptions.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {
constexpr int kPercentageStep = 5;
constexpr int kPercentageEntries = 7; // "0" .. "30"

// A stored percentage that is not on the list (12, say) selects nothing; the
// contour still uses it as it is.
int entryForPercentage(int percentage)
{
    if (percentage < 0 || percentage % kPercentageStep != 0
        || percentage / kPercentageStep >= kPercentageEntries)
        return -1;
    return percentage / kPercentageStep;
}
} // namespace

PPAnalysisOptionBands::PPAnalysisOptionBands(BandsOptions *options, QWidget *parent)
    : AnalysisOptionPage(parent), m_options(options), m_percentage(new QComboBox(this))
{
    addFlag(tr("Show Bracket"), &options->m_Show_Bracket);
    addFlag(tr("Show Boundary Contour"), &options->m_Show_Boundary_Contour);
    addFlag(tr("Show Number"), &options->m_Show_Number);
    for (int i = 0; i < kPercentageEntries; ++i)
        m_percentage->addItem(QString::number(i * kPercentageStep));
    m_percentage->setCurrentIndex(entryForPercentage(options->m_BoundryPercentage));
    connect(m_percentage, &QComboBox::activated, this, [this](int index) {
        m_options->m_BoundryPercentage = kPercentageStep * index;
        SetModified(true);
    });
    auto *form = new QFormLayout;
    form->addRow(tr("Boundary contour (%):"), m_percentage);
    pageLayout()->addLayout(form);
    pageLayout()->addStretch();
}

void PPAnalysisOptionBands::UpdateControls()
{
    AnalysisOptionPage::UpdateControls();
    const QSignalBlocker block(m_percentage);
    m_percentage->setCurrentIndex(entryForPercentage(m_options->m_BoundryPercentage));
}
