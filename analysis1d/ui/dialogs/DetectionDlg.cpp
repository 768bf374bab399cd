#include "analysis1d/ui/dialogs/DetectionDlg.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "appbase/FrameServices.h"
#include "platform/ProfileStore.h"
#include "util/ui/CProgressDlg.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kPageSize = 5;
}

DetectionDlg::DetectionDlg(QWidget *parent, Analysis1DView *view, Analysis1D *analysis)
    : Analysis1DDialog(parent, view, analysis), m_slider(new QSlider(Qt::Horizontal)),
      m_value(new QLabel), m_detect(new QPushButton(QStringLiteral("Detect")))
{
    setWindowTitle(QStringLiteral("Detection"));
    setWindowFlag(Qt::Tool);
    m_slider->setRange(DetectionSlider::kMinimum, DetectionSlider::kMaximum);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(kPageSize);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setMinimumWidth(260);
    m_value->setMinimumWidth(32);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_slider, &QSlider::actionTriggered, this, &DetectionDlg::onSliderAction);
    connect(m_detect, &QPushButton::clicked, this, &DetectionDlg::OnDetect);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Less Bands")));
    row->addWidget(m_slider, 1);
    row->addWidget(new QLabel(QStringLiteral("More Bands")));
    row->addWidget(m_value);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->addButton(m_detect, QDialogButtonBox::ActionRole);
    m_detect->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &DetectionDlg::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    readStoredPosition();
}

void DetectionDlg::readStoredPosition()
{
    m_position = DetectionSlider::StoredPosition();
    m_threshold = DetectionSlider::ThresholdFromSlider(m_position);
    const QSignalBlocker block(m_slider);
    m_slider->setSliderPosition(m_position);
    m_value->setText(QString::asprintf("%d", m_position));
}

// Each step counts from the position the dialog holds, which may be a stored
// one outside the slider's range; the result is clamped to it.
void DetectionDlg::onSliderAction(int action)
{
    int position = m_position;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        position += 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        position -= 1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        position += kPageSize;
        break;
    case QAbstractSlider::SliderPageStepSub:
        position -= kPageSize;
        break;
    case QAbstractSlider::SliderToMinimum:
        position = DetectionSlider::kMinimum;
        break;
    case QAbstractSlider::SliderToMaximum:
        position = DetectionSlider::kMaximum;
        break;
    case QAbstractSlider::SliderMove:
        position = m_slider->sliderPosition();
        break;
    default:
        return;
    }
    setPosition(position);
}

void DetectionDlg::setPosition(int position)
{
    m_position
        = std::clamp(position, int(DetectionSlider::kMinimum), int(DetectionSlider::kMaximum));
    m_slider->setSliderPosition(m_position);
    m_threshold = DetectionSlider::ThresholdFromSlider(m_position);
    m_value->setText(QString::asprintf("%d", m_position));
}

void DetectionDlg::OnDetect()
{
    ProfileStore::instance().WriteSectionInt(DetectionSlider::ProfileSection(),
                                             DetectionSlider::ProfileKey(), m_position);
    if (!m_analysis || !m_analysis->GetAnalysisDocument())
        return;
    // A large gel takes a while: after a second a progress window with Cancel
    // appears (it disables the main window, so nothing is edited meanwhile).
    // Before that no events are handled at all.
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<CProgressDlg> progress;
    const bool detected
        = AnalysisSetup(*m_analysis->GetAnalysisDocument())
              .Detect(m_threshold, [&](int done, int total) {
                  if (!progress) {
                      if (clock.elapsed() < s_progressDelayMs)
                          return true;
                      progress = std::make_unique<CProgressDlg>(
                          QStringLiteral("Detecting lanes and bands"));
                      progress->Create(this);
                  }
                  progress->SetRange(0, std::max(total, 1));
                  progress->SetPos(done);
                  progress->SetStatus(total > 0
                                          ? QStringLiteral("Lane %1 of %2").arg(done).arg(total)
                                          : QStringLiteral("Looking for lanes"));
                  return progress->CheckCancelButton() == 0;
              });
    if (progress)
        progress->DestroyWindow();
    if (!detected)
        return;
    m_analysis->UpdateReportAndGraph();
    repaintView();
    // Clipped bands under-report their amount: say so where the user looks.
    const int saturated = m_analysis->CountSaturatedBands();
    if (saturated > 0) {
        if (FrameServices *frame = FrameServices::instance())
            frame->DisplayStatusBarText(
                saturated == 1 ? QStringLiteral("1 saturated band: its amount reads too low")
                               : QStringLiteral("%1 saturated bands: their amounts read too low")
                                     .arg(saturated));
    }
}

void DetectionDlg::end()
{
    hide();
    if (m_analysis)
        m_analysis->WizardEnded();
    deleteLater();
}

void DetectionDlg::accept()
{
    end();
}

void DetectionDlg::reject()
{
    end();
}
