#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent), m_pProduct(new QLabel(this)), m_pVersion(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About Densora"));
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/densora.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    m_pProduct->setObjectName(QStringLiteral("productLine"));
    m_pProduct->setText(QStringLiteral("<b>Densora</b><br>Quantitative analysis of 1D "
                                       "gel-electrophoresis images<br>TavoroSystems"));
    m_pVersion->setObjectName(QStringLiteral("versionLine"));
    m_pVersion->setText(VersionLine());
    m_pVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *text = new QVBoxLayout;
    text->addWidget(m_pProduct);
    text->addWidget(m_pVersion);
    text->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QString CAboutDlg::VersionLine()
{
    // The build's version, most significant part first, always four parts.
    return QStringLiteral("Version: ") + QStringLiteral(DENSORA_VERSION_FOUR_PARTS);
}

QString CAboutDlg::GetVersionText() const
{
    return m_pVersion->text();
}
