#include "appbase/ui/CRibbonPanel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kSmallPerColumn = 3;

void mirror(QToolButton *button, QAction *action, bool followEnabled)
{
    if (followEnabled)
        button->setEnabled(action->isEnabled());
    button->setCheckable(action->isCheckable());
    if (action->isCheckable())
        button->setChecked(action->isChecked());
    QString tip = action->toolTip();
    if (!action->shortcut().isEmpty())
        tip += QStringLiteral(" (%1)").arg(action->shortcut().toString(QKeySequence::NativeText));
    button->setToolTip(tip);
}
} // namespace

CRibbonPanel::CRibbonPanel(const QString &caption, QWidget *parent)
    : QFrame(parent), m_caption(caption)
{
    setObjectName(QStringLiteral("ribbonPanel"));
    setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 2, 4, 1);
    outer->setSpacing(1);
    m_row = new QHBoxLayout;
    m_row->setSpacing(2);
    outer->addLayout(m_row, 1);
    auto *label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("ribbonPanelCaption"));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setEnabled(false); // drawn in the palette's quieter text colour
    outer->addWidget(label);
}

void CRibbonPanel::BindButton(QToolButton *button, QAction *action, const QString &caption,
                              bool followEnabled)
{
    button->setText(caption);
    button->setAutoRaise(true);
    if (!action)
        return;
    button->setProperty("commandId", action->data());
    mirror(button, action, followEnabled);
    QObject::connect(action, &QAction::changed, button,
                     [button, action, followEnabled] { mirror(button, action, followEnabled); });
    QObject::connect(button, &QToolButton::clicked, action, [action] { action->trigger(); });
}

QToolButton *CRibbonPanel::AddLargeButton(QAction *action, const QString &caption,
                                          const QIcon &icon)
{
    auto *button = new QToolButton(this);
    button->setIcon(icon);
    button->setIconSize(QSize(kLargeIcon, kLargeIcon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    BindButton(button, action, caption);
    AddLargeWidget(button);
    return button;
}

QToolButton *CRibbonPanel::AddSmallButton(QAction *action, const QString &caption,
                                          const QIcon &icon)
{
    auto *button = new QToolButton(this);
    button->setIcon(icon);
    button->setIconSize(QSize(kSmallIcon, kSmallIcon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    BindButton(button, action, caption);
    AddSmallWidget(button);
    return button;
}

void CRibbonPanel::AddLargeWidget(QWidget *widget)
{
    widget->setParent(this);
    m_row->addWidget(widget);
    m_column = nullptr; // small buttons after a large one start a new column
}

void CRibbonPanel::AddSmallWidget(QWidget *widget)
{
    widget->setParent(this);
    startColumnIfFull();
    m_column->insertWidget(m_inColumn, widget);
    ++m_inColumn;
}

void CRibbonPanel::startColumnIfFull()
{
    if (m_column && m_inColumn < kSmallPerColumn)
        return;
    m_column = new QVBoxLayout;
    m_column->setSpacing(0);
    m_column->addStretch(1);
    m_row->addLayout(m_column);
    m_inColumn = 0;
}
