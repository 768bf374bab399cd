#pragma once

// A modal dialog showing a list of lines under a title, read only. A line of
// the form "name|value" fills two columns; other lines fill the first.

#include <QDialog>
#include <QStringList>

class QTreeWidget;

class CListDlg : public QDialog
{
    Q_OBJECT
public:
    CListDlg(const QString &title, const QStringList &lines, QWidget *parent = nullptr);
    ~CListDlg() override;

    QTreeWidget *GetList() const { return m_pList; }

private:
    QTreeWidget *m_pList;
};
