#include "imaging/ui/ImageInfoListDialog.h"

#include "imaging/CDrawImage.h"

#include "util/ui/CListDlg.h"

#include <QApplication>

void InstallImageInfoListDialog()
{
    CDrawImage::SetInfoListHandler([](const QString &title, const QStringList &lines) {
        CListDlg dialog(title, lines, QApplication::activeWindow());
        dialog.exec();
    });
}
