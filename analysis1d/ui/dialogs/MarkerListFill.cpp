#include "analysis1d/ui/dialogs/MarkerListFill.h"

#include "data/CDoubleDataArray.h"
#include "util/StringUtil.h"

void MarkerListFill::Fill(QTreeWidget *list, const CDoubleDataArray &values)
{
    list->clear();
    for (int i = 0; i < values.GetSize(); ++i) {
        auto *item = new QTreeWidgetItem(list);
        item->setText(0, QString::number(i + 1));
        item->setText(1, StringUtil::FloatFormatString(values[i], 0, 2));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}
