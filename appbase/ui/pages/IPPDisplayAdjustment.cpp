#include "appbase/ui/pages/IPPDisplayAdjustment.h"

#include "appbase/ui/pages/IPSliderSpinEdit.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

IPPDisplayAdjustment::IPPDisplayAdjustment(CDrawImage *target, QWidget *parent)
    : IPPropertyPage(target, IPM_DisplayAdjustment, tr("Display Adjustment"), parent)
{
    const TVFImage *image = target->GetImage();
    auto *box = new QGroupBox(tr("Display of the picture"), this);
    auto *grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(10);
    // The picture's settings are doubles; the controls show whole numbers
    // (truncated, as the settings were entered through these controls).
    m_pBrightness
        = new IPSliderSpinEdit(this, grid, 0, tr("&Brightness:"), QStringLiteral("brightness"),
                               -100, 100, int(image->getBrightness()), 0);
    m_pContrast = new IPSliderSpinEdit(this, grid, 1, tr("&Contrast:"), QStringLiteral("contrast"),
                                       -100, 100, int(image->getContrast()), 0);
    m_pGamma = new IPSliderSpinEdit(this, grid, 2, tr("&Gamma (x 100):"), QStringLiteral("gamma"),
                                    1, 200, int(image->getGamma() * 100.0), 100);

    auto *note = new QLabel(
        tr("Only the display changes; the measured pixel values stay as they are."), this);
    note->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(note);
    layout->addStretch(1);

    for (IPSliderSpinEdit *control : {m_pBrightness, m_pContrast, m_pGamma})
        connect(control, &IPSliderSpinEdit::previewRequested, this,
                &IPPDisplayAdjustment::OnPreview);
}

IPPDisplayAdjustment::~IPPDisplayAdjustment() = default;

int IPPDisplayAdjustment::GetBrightnessValue() const
{
    return m_pBrightness->GetValue();
}

int IPPDisplayAdjustment::GetContrastValue() const
{
    return m_pContrast->GetValue();
}

double IPPDisplayAdjustment::GetGammaValue() const
{
    return m_pGamma->GetValue() / 100.0;
}

IPParameters IPPDisplayAdjustment::GetParameters() const
{
    IPParameters p;
    p.brightness = GetBrightnessValue();
    p.contrast = GetContrastValue();
    p.gamma = GetGammaValue();
    return p;
}

void IPPDisplayAdjustment::OnPreview()
{
    SetModified(true);
    IPPropertyPage::OnPreview();
}
