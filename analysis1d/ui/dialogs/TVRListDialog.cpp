#include "analysis1d/ui/dialogs/TVRListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

TVRListDialog::TVRListDialog(QWidget *parent, const QString &title, const QStringList &lines)
    : QDialog(parent), m_list(new QTreeWidget)
{
    setWindowTitle(title);
    m_list->setColumnCount(2);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    for (const QString &line : lines) {
        auto *item = new QTreeWidgetItem(m_list);
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        item->setText(0, bar < 0 ? line : line.left(bar));
        if (bar >= 0)
            item->setText(1, line.mid(bar + 1));
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Every line readable without scrolling sideways.
    m_list->setMinimumSize(380, 360);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &TVRListDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void TVRListDialog::Show(QWidget *parent, const QString &title, const QStringList &lines)
{
    TVRListDialog dialog(parent, title, lines);
    dialog.exec();
}
