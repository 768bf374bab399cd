#include "cli/CliPrompts.h"

int CliPrompts::MessageBox(const QString &text, unsigned type)
{
    m_messages.append(text);
    return DefaultAnswer(type);
}

QStringList CliPrompts::TakeMessages()
{
    auto *prompts = dynamic_cast<CliPrompts *>(&Prompts::instance());
    if (!prompts)
        return {};
    QStringList taken;
    taken.swap(prompts->m_messages);
    return taken;
}
