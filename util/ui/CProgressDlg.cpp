#include "util/ui/CProgressDlg.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CProgressDlg::CProgressDlg(const QString &caption)
    : QDialog(nullptr), m_pProgress(new QProgressBar(this)), m_pPercent(new QLabel(this)),
      m_pStatus(new QLabel(this)), m_pCancel(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(caption.isEmpty() ? tr("Working") : caption);
    setModal(false);
    m_pProgress->setTextVisible(false);
    m_pProgress->setMinimumWidth(300);
    m_pPercent->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 8);
    m_pPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pStatus->setWordWrap(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_pProgress, 1);
    bar->addWidget(m_pPercent);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pStatus);
    layout->addLayout(bar);
    layout->addLayout(buttons);

    connect(m_pCancel, &QPushButton::clicked, this, &CProgressDlg::OnCancel);
    m_pProgress->setRange(m_nLower, m_nUpper);
    m_pProgress->setValue(m_nPos);
    UpdatePercent();
}

CProgressDlg::~CProgressDlg()
{
    // A dialog destroyed without DestroyWindow must not leave the owner disabled.
    if (m_bParentDisabled && m_pOwner)
        m_pOwner->setEnabled(true);
}

int CProgressDlg::Create(QWidget *pOwner)
{
    QWidget *top = pOwner ? pOwner->window() : nullptr;
    m_pOwner = top;
    m_bParentDisabled = false;
    if (top && top != this && top->isEnabled()) {
        top->setEnabled(false);
        m_bParentDisabled = true;
    }
    m_nPos = m_nLower;
    m_pProgress->setRange(m_nLower, m_nUpper);
    m_pProgress->setValue(m_nPos);
    UpdatePercent();
    if (top) {
        adjustSize();
        move(top->geometry().center() - rect().center());
    }
    show();
    if (!isVisible()) {
        if (m_bParentDisabled && m_pOwner)
            m_pOwner->setEnabled(true);
        m_bParentDisabled = false;
        return 0;
    }
    PumpMessages();
    return 1;
}

bool CProgressDlg::DestroyWindow()
{
    if (m_bParentDisabled && m_pOwner)
        m_pOwner->setEnabled(true);
    m_bParentDisabled = false;
    hide();
    return true;
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_pProgress->setRange(lower, upper);
    UpdatePercent();
}

int CProgressDlg::SetStep(int step)
{
    const int previous = m_nStep;
    m_nStep = step;
    return previous;
}

int CProgressDlg::SetPos(int pos)
{
    PumpMessages();
    const int previous = m_nPos;
    m_nPos = pos;
    m_pProgress->setValue(pos);
    UpdatePercent();
    return previous;
}

int CProgressDlg::OffsetPos(int delta)
{
    return SetPos(m_nPos + delta);
}

int CProgressDlg::StepIt()
{
    // Like the progress control, stepping past the top starts again at the bottom.
    int next = m_nPos + m_nStep;
    if (m_nUpper > m_nLower && next > m_nUpper)
        next = m_nLower + (next - m_nLower) % (m_nUpper - m_nLower);
    return SetPos(next);
}

void CProgressDlg::SetStatus(const QString &text)
{
    m_pStatus->setText(text);
}

int CProgressDlg::CheckCancelButton()
{
    PumpMessages();
    const bool cancelled = m_bCancel;
    m_bCancel = false;
    return cancelled ? 1 : 0;
}

QString CProgressDlg::PercentText(int pos, int lower, int upper)
{
    if (upper == lower)
        return QStringLiteral("100%");
    const int p = int((long long)(pos - lower) * 100 / (upper - lower));
    return QString::asprintf("%d%c", p == 100 ? p : p % 100, '%');
}

void CProgressDlg::UpdatePercent()
{
    const QString text = PercentText(m_nPos, m_nLower, m_nUpper);
    if (m_pPercent->text() != text)
        m_pPercent->setText(text);
}

void CProgressDlg::PumpMessages()
{
    QCoreApplication::processEvents();
}

void CProgressDlg::OnCancel()
{
    m_bCancel = true;
}

void CProgressDlg::reject()
{
    OnCancel();
}
