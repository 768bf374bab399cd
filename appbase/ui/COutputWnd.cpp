#include "appbase/ui/COutputWnd.h"

#include <QListWidget>
#include <QTabWidget>

COutputWnd::COutputWnd(QWidget *parent)
    : QDockWidget(QStringLiteral("Analysis Data"), parent),
      m_pTabs(new QTabWidget(this)),
      m_pOutput(new QListWidget(m_pTabs))
{
    setObjectName(QStringLiteral("outputPane"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea | Qt::LeftDockWidgetArea
                    | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                | QDockWidget::DockWidgetFloatable);
    m_pTabs->setDocumentMode(true);
    m_pTabs->setTabPosition(QTabWidget::South);
    // A long line gets a horizontal scroll bar rather than being cut.
    m_pOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pOutput->setUniformItemSizes(true);
    m_pTabs->addTab(m_pOutput, QStringLiteral("Output"));
    setWidget(m_pTabs);
}

void COutputWnd::AddOutputLine(const QString &line)
{
    m_pOutput->addItem(line);
    m_pOutput->scrollToBottom();
}

void COutputWnd::ClearOutput()
{
    m_pOutput->clear();
}
