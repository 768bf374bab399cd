#pragma once

// Shows a title and a list of information lines, modally. A line of the form
// "label|value" is shown in two columns.

#include <QDialog>
#include <QStringList>

class QTreeWidget;

class TVRListDialog : public QDialog
{
    Q_OBJECT
public:
    TVRListDialog(QWidget *parent, const QString &title, const QStringList &lines);

    QTreeWidget *List() const { return m_list; }
    // Builds the dialog and runs it.
    static void Show(QWidget *parent, const QString &title, const QStringList &lines);

private:
    QTreeWidget *m_list;
};
