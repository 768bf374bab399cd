#include "appbase/ui/pages/IPPRotateArbitrary.h"

#include "appbase/ui/pages/IPSliderSpinEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

IPPRotateArbitrary::IPPRotateArbitrary(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_RotateArbitrarily, tr("Rotate"), parent)
{
    auto *box = new QGroupBox(tr("Rotation"), this);
    auto *grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(10);
    m_pDegrees = new IPSliderSpinEdit(this, grid, 0, tr("&Angle (degrees):"),
                                      QStringLiteral("degrees"), -45, 45, 0, 0);
    QSlider *slider = m_pDegrees->GetSlider();
    slider->setSingleStep(1);
    slider->setPageStep(5);
    slider->setTickInterval(5);
    slider->setTickPosition(QSlider::TicksBelow);

    auto *note = new QLabel(tr("The picture grows to hold its turned corners; the new corners "
                               "are filled black."),
                            this);
    note->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(note);
    layout->addStretch(1);

    connect(m_pDegrees, &IPSliderSpinEdit::previewRequested, this, &IPPRotateArbitrary::OnPreview);
}

IPPRotateArbitrary::~IPPRotateArbitrary() = default;

int IPPRotateArbitrary::GetDegreesValue() const
{
    return m_pDegrees->GetValue();
}

IPParameters IPPRotateArbitrary::GetParameters() const
{
    IPParameters p;
    p.degrees = GetDegreesValue();
    return p;
}

void IPPRotateArbitrary::OnPreview()
{
    SetModified(true);
    IPPropertyPage::OnPreview();
}
