#include "imaging/ui/ImageInfoListDialog.h"

#include "imaging/CDrawImage.h"
#include "imaging/ui/ImageProcessingListPP.h"

#include "util/ui/CListDlg.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include <memory>

void InstallImageInfoListDialog()
{
    CDrawImage::SetInfoListHandler([](const QString &title, const QStringList &lines) {
        CListDlg dialog(title, lines, QApplication::activeWindow());
        dialog.exec();
    });
    CDrawImage::SetHistoryHandler([](TVFImage *image) {
        const std::unique_ptr<QDialog> dialog(
            CreateImageHistoryDialog(image, QApplication::activeWindow()));
        dialog->exec();
    });
}

QDialog *CreateImageHistoryDialog(TVFImage *image, QWidget *parent)
{
    auto *dialog = new QDialog(parent);
    auto *page = new ImageProcessingListPP(image, dialog);
    dialog->setWindowTitle(page->windowTitle());
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(page);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog;
}
