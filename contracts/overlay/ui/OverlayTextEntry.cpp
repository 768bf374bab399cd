#include "contracts/overlay/ui/OverlayTextEntry.h"

#include "contracts/overlay/CDrawText.h"

#include <QApplication>
#include <QInputDialog>

void InstallOverlayTextEntry()
{
    CDrawText::SetTextEntryHandler([](const QString &title, QString &text) {
        bool ok = false;
        const QString entered = QInputDialog::getMultiLineText(QApplication::activeWindow(), title,
                                                               QObject::tr("Text:"), text, &ok);
        if (ok)
            text = entered;
        return ok;
    });
}
