#pragma once

// The dockable output pane at the bottom of the main frame. Its tab control
// holds the analysis report and lane graph, which the analysis creates and
// owns (they are only Qt children of the tab control here); its first tab is
// a list of output lines whose horizontal extent follows the longest line.

#include <QDockWidget>
#include <QString>

class QListWidget;
class QTabWidget;

class COutputWnd : public QDockWidget
{
    Q_OBJECT
public:
    explicit COutputWnd(QWidget *parent = nullptr);

    // Where the report and graph windows go.
    QTabWidget *GetTabs() const { return m_pTabs; }
    QListWidget *GetOutputList() const { return m_pOutput; }

    void AddOutputLine(const QString &line);
    void ClearOutput();

private:
    QTabWidget *m_pTabs;
    QListWidget *m_pOutput;
};
