#pragma once

// What the engine would show in message boxes, for a run without anyone to
// answer: every box gets its default answer, and its text is kept so the run
// can name it in its own error message, or print it as a note when nothing
// took it.

#include "platform/Prompts.h"

class CliPrompts : public ConsolePrompts
{
public:
    int MessageBox(const QString &text, unsigned type = MB_OK) override;

    // The texts shown since the last call, oldest first, when the installed
    // service is a CliPrompts; empty otherwise.
    static QStringList TakeMessages();

private:
    QStringList m_messages;
};
