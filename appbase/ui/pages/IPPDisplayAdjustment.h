#pragma once

// Brightness, contrast and gamma of the picture's display (the pixels stay as
// they are). Opens with the picture's current settings; gamma is shown x 100.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPSliderSpinEdit;

class IPPDisplayAdjustment : public IPPropertyPage
{
    Q_OBJECT
public:
    explicit IPPDisplayAdjustment(CDrawImage *target, QWidget *parent = nullptr);
    ~IPPDisplayAdjustment() override;

    int GetBrightnessValue() const;
    int GetContrastValue() const;
    // The gamma slider / 100.
    double GetGammaValue() const;

    IPSliderSpinEdit *GetBrightness() const { return m_pBrightness; }
    IPSliderSpinEdit *GetContrast() const { return m_pContrast; }
    IPSliderSpinEdit *GetGamma() const { return m_pGamma; }

    // Marks the page modified, applies the three settings, sizes the target.
    void OnPreview() override;

protected:
    IPParameters GetParameters() const override;

private:
    IPSliderSpinEdit *m_pBrightness;
    IPSliderSpinEdit *m_pContrast;
    IPSliderSpinEdit *m_pGamma;
};
