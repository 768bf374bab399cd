#pragma once

// Turns the picture by -45 ... 45 degrees; the picture grows to hold the
// turned corners.

#include "appbase/ui/pages/IPPropertyPage.h"

class IPSliderSpinEdit;

class IPPRotateArbitrary : public IPPropertyPage
{
    Q_OBJECT
public:
    explicit IPPRotateArbitrary(CDrawImage *target, QWidget *parent = nullptr);
    ~IPPRotateArbitrary() override;

    int GetDegreesValue() const;
    IPSliderSpinEdit *GetDegrees() const { return m_pDegrees; }

    // Marks the page modified, turns the picture, sizes the target.
    void OnPreview() override;

protected:
    IPParameters GetParameters() const override;
    // A turn by 0 degrees leaves the picture (and its history) as it was.
    bool IsIdentity() const override { return GetDegreesValue() == 0; }

private:
    IPSliderSpinEdit *m_pDegrees;
};
