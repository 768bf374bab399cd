#include "appbase/ui/pages/IPSliderSpinEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

IPSliderSpinEdit::IPSliderSpinEdit(QWidget *page, QGridLayout *grid, int row, const QString &label,
                                   const QString &name, int minimum, int maximum, int initial,
                                   int defaultValue)
    : QObject(page), m_pLabel(new QLabel(label, page)),
      m_pSlider(new QSlider(Qt::Horizontal, page)), m_pSpin(new QSpinBox(page)),
      m_pDefault(new QPushButton(tr("Default"), page)), m_nDefault(defaultValue)
{
    m_pSlider->setObjectName(name + QStringLiteral("Slider"));
    m_pSpin->setObjectName(name + QStringLiteral("Spin"));
    m_pDefault->setObjectName(name + QStringLiteral("Default"));
    m_pLabel->setBuddy(m_pSpin);

    m_pSlider->setRange(minimum, maximum);
    m_pSlider->setMinimumWidth(220);
    m_pSpin->setRange(minimum, maximum);
    m_pSpin->setAlignment(Qt::AlignRight);
    m_pSpin->setAccelerated(true);
    SetValue(initial);

    grid->addWidget(m_pLabel, row, 0);
    grid->addWidget(m_pSlider, row, 1);
    grid->addWidget(m_pSpin, row, 2);
    grid->addWidget(m_pDefault, row, 3);

    connect(m_pSlider, &QSlider::valueChanged, this, &IPSliderSpinEdit::onSliderValueChanged);
    connect(m_pSlider, &QSlider::sliderReleased, this, &IPSliderSpinEdit::previewRequested);
    connect(m_pSpin, &QSpinBox::valueChanged, this, &IPSliderSpinEdit::onSpinValueChanged);
    connect(m_pSpin, &QSpinBox::editingFinished, this, &IPSliderSpinEdit::onEditingFinished);
    connect(m_pDefault, &QPushButton::clicked, this, &IPSliderSpinEdit::onDefault);
}

int IPSliderSpinEdit::GetValue() const
{
    return m_pSlider->value();
}

void IPSliderSpinEdit::SetValue(int value)
{
    const QSignalBlocker sliderBlock(m_pSlider);
    const QSignalBlocker spinBlock(m_pSpin);
    m_pSlider->setValue(value);
    m_pSpin->setValue(m_pSlider->value());
}

void IPSliderSpinEdit::onSliderValueChanged(int value)
{
    {
        const QSignalBlocker block(m_pSpin);
        m_pSpin->setValue(value);
    }
    // While the thumb is dragged only the numbers follow; the release previews.
    if (!m_pSlider->isSliderDown())
        emit previewRequested();
}

void IPSliderSpinEdit::onSpinValueChanged(int value)
{
    {
        const QSignalBlocker block(m_pSlider);
        m_pSlider->setValue(value);
    }
    emit previewRequested();
}

void IPSliderSpinEdit::onEditingFinished()
{
    // The spin box may still show an unfinished text; its value is what counts.
    const QSignalBlocker block(m_pSpin);
    m_pSpin->setValue(m_pSpin->value());
    if (m_pSlider->value() != m_pSpin->value()) {
        const QSignalBlocker sliderBlock(m_pSlider);
        m_pSlider->setValue(m_pSpin->value());
    }
}

void IPSliderSpinEdit::onDefault()
{
    SetValue(m_nDefault);
    emit previewRequested();
}
