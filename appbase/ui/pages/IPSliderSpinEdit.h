#pragma once

// One setting of an adjustment page: a slider, a spin box (its text field is
// the edit box, its arrows the spin control) and a default button, kept in
// step with each other. The owner previews on previewRequested:
// - dragging the slider copies its position into the spin box while the thumb
//   moves and asks for a preview when the thumb is released; a slider moved by
//   the keyboard or a page click asks at once;
// - a spin step or typing a number sets the slider and asks for a preview;
// - leaving the edit box sets the slider from the spin box (a half-typed text
//   is replaced by the spin box's value);
// - the default button sets slider and spin box to the default and asks.

#include <QObject>
#include <QString>

class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;

class IPSliderSpinEdit : public QObject
{
    Q_OBJECT
public:
    // Adds label, slider, spin box and default button as one row of 'grid'.
    // 'name' prefixes the controls' object names ("<name>Slider", ...).
    IPSliderSpinEdit(QWidget *page, QGridLayout *grid, int row, const QString &label,
                     const QString &name, int minimum, int maximum, int initial, int defaultValue);

    int GetValue() const;
    // Sets slider and spin box without asking for a preview.
    void SetValue(int value);
    int GetDefault() const { return m_nDefault; }

    QSlider *GetSlider() const { return m_pSlider; }
    QSpinBox *GetSpin() const { return m_pSpin; }
    QPushButton *GetDefaultButton() const { return m_pDefault; }

signals:
    void previewRequested();

private:
    void onSliderValueChanged(int value);
    void onSpinValueChanged(int value);
    void onEditingFinished();
    void onDefault();

    QLabel *m_pLabel;
    QSlider *m_pSlider;
    QSpinBox *m_pSpin;
    QPushButton *m_pDefault;
    int m_nDefault;
};
