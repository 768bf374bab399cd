#pragma once

// The desktop program's way of asking the user: message boxes and the
// desktop's file dialogs, over the active window. Filters come in Qt's
// "Description (*.a *.b);;..." form.

#include "platform/Prompts.h"

class GuiPrompts : public Prompts
{
public:
    int MessageBox(const QString &text, unsigned type = MB_OK) override;
    QString AskOpenFile(const QString &title, const QString &filter,
                        const QString &directory = QString()) override;
    // A name typed without an extension gets the one of the chosen filter, so
    // the document knows which format to write.
    QString AskSaveFile(const QString &title, const QString &filter,
                        const QString &suggestedName = QString()) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // The first extension of a filter entry ("TIFF File (*.tif)" gives "tif").
    static QString FirstSuffix(const QString &filterEntry);
};
