#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AddLaneBandDlg::AddLaneBandDlg(QWidget *parent)
    : QDialog(parent), m_prompt(new QLabel), m_done(new QPushButton(QStringLiteral("Done")))
{
    setObjectName(QStringLiteral("AddLaneBandDlg"));
    setWindowTitle(QStringLiteral("Densora"));
    setModal(false);
    // A tool window over the picture: it must not take the focus from the
    // view the user clicks in.
    setWindowFlag(Qt::Tool);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_prompt->setWordWrap(true);
    m_prompt->setMinimumWidth(300);
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &AddLaneBandDlg::OnDone);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addLayout(buttons);
}

void AddLaneBandDlg::SetPrompt(const QString &prompt)
{
    m_prompt->setText(prompt);
    m_prompt->setVisible(!prompt.isEmpty());
    adjustSize();
}

QString AddLaneBandDlg::GetPrompt() const
{
    return m_prompt->text();
}

void AddLaneBandDlg::OnDone()
{
    hide();
    // Taken first: the callback may delete this dialog.
    std::function<void()> done = std::move(m_onDone);
    m_onDone = nullptr;
    if (done)
        done();
}

void AddLaneBandDlg::reject()
{
    OnDone();
}
