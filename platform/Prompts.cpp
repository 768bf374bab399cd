#include "platform/Prompts.h"

#include <cstdio>

namespace {
std::unique_ptr<Prompts> &currentPrompts()
{
    static std::unique_ptr<Prompts> prompts = std::make_unique<ConsolePrompts>();
    return prompts;
}
} // namespace

int Prompts::DefaultAnswer(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return IDOK;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

Prompts &Prompts::instance()
{
    return *currentPrompts();
}

std::unique_ptr<Prompts> Prompts::install(std::unique_ptr<Prompts> prompts)
{
    auto previous = std::move(currentPrompts());
    currentPrompts() = prompts ? std::move(prompts) : std::make_unique<ConsolePrompts>();
    return previous;
}

int ConsolePrompts::MessageBox(const QString &text, unsigned type)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return m_fixedAnswer ? m_fixedAnswer : DefaultAnswer(type);
}

QString ConsolePrompts::AskOpenFile(const QString &, const QString &, const QString &)
{
    return QString();
}

QString ConsolePrompts::AskSaveFile(const QString &, const QString &, const QString &)
{
    return QString();
}

int ScriptedPrompts::MessageBox(const QString &text, unsigned type)
{
    m_shown.push_back({text, type});
    if (m_answers.empty())
        return DefaultAnswer(type);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString ScriptedPrompts::AskOpenFile(const QString &title, const QString &, const QString &)
{
    m_dialogTitles << title;
    if (m_files.empty())
        return QString();
    QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QString ScriptedPrompts::AskSaveFile(const QString &title, const QString &, const QString &)
{
    return AskOpenFile(title, QString(), QString());
}

QStringList ScriptedPrompts::Texts() const
{
    QStringList texts;
    for (const Shown &s : m_shown)
        texts << s.text;
    return texts;
}

void ScriptedPrompts::Clear()
{
    m_answers.clear();
    m_files.clear();
    m_shown.clear();
    m_dialogTitles.clear();
}

ScopedScriptedPrompts::ScopedScriptedPrompts()
{
    auto scripted = std::make_unique<ScriptedPrompts>();
    m_scripted = scripted.get();
    m_previous = Prompts::install(std::move(scripted));
}

ScopedScriptedPrompts::~ScopedScriptedPrompts()
{
    Prompts::install(std::move(m_previous));
}
