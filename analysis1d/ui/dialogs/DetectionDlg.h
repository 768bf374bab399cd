#pragma once

// The detection dialog: one slider from "Less Bands" to "More Bands" gives the
// peak-height threshold; "Detect" finds lanes and bands with it and may be
// pressed again with another setting. OK or closing ends it.

#include "analysis1d/ui/dialogs/Analysis1DDialog.h"

class QLabel;
class QPushButton;
class QSlider;

class DetectionDlg : public Analysis1DDialog
{
    Q_OBJECT
public:
    static constexpr int kValueLabel = 12022;
    static constexpr int kDetectButton = 12024;
    // How long a detection runs before its progress window with Cancel shows.
    static inline int s_progressDelayMs = 1000;

    DetectionDlg(QWidget *parent, Analysis1DView *view, Analysis1D *analysis);

    // The slider position as stored or last moved (a stored value outside
    // 0..100 is kept until the slider moves), and its threshold.
    int GetPosition() const { return m_position; }
    double GetThreshold() const { return m_threshold; }

    void OnDetect();
    void accept() override;
    void reject() override;

    QSlider *Slider() const { return m_slider; }
    QLabel *ValueLabel() const { return m_value; }
    QPushButton *DetectButton() const { return m_detect; }

private:
    void readStoredPosition();
    void onSliderAction(int action);
    void setPosition(int position);
    void end();

    int m_position = 0;
    double m_threshold = 0.0;
    QSlider *m_slider;
    QLabel *m_value;
    QPushButton *m_detect;
};
