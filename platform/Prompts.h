#pragma once

// Everything the program asks or tells the user goes through this service:
// message boxes, file dialogs and the wait cursor. The GUI installs an
// implementation with real dialogs, the command-line tool one that prints to
// standard error, and tests a scripted one.

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

// Button sets and icons, combinable with |.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = MB_ICONERROR,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = MB_ICONWARNING,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
};

// Answers.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual int MessageBox(const QString &text, unsigned type = MB_OK) = 0;
    // Empty result: the user cancelled.
    virtual QString AskOpenFile(const QString &title, const QString &filter,
                                const QString &directory = QString()) = 0;
    virtual QString AskSaveFile(const QString &title, const QString &filter,
                                const QString &suggestedName = QString()) = 0;
    virtual void BeginWaitCursor() { }
    virtual void EndWaitCursor() { }

    // The answer a box of this type gives when nobody is there to click.
    static int DefaultAnswer(unsigned type);

    // The process-wide service. Until one is installed, a non-interactive one
    // that prints to standard error is used.
    static Prompts &instance();
    static std::unique_ptr<Prompts> install(std::unique_ptr<Prompts> prompts);
};

// Non-interactive: prints every text to standard error and answers with the
// box's default (or a fixed answer), never picks files.
class ConsolePrompts : public Prompts
{
public:
    explicit ConsolePrompts(int fixedAnswer = 0) : m_fixedAnswer(fixedAnswer) { }

    int MessageBox(const QString &text, unsigned type = MB_OK) override;
    QString AskOpenFile(const QString &title, const QString &filter,
                        const QString &directory = QString()) override;
    QString AskSaveFile(const QString &title, const QString &filter,
                        const QString &suggestedName = QString()) override;

private:
    int m_fixedAnswer;
};

// For tests: answers come from queues filled beforehand, and every text shown
// is recorded. An empty queue gives the default answer (no file for dialogs).
class ScriptedPrompts : public Prompts
{
public:
    struct Shown
    {
        QString text;
        unsigned type;
    };

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    void QueueFile(const QString &path) { m_files.push_back(path); }

    int MessageBox(const QString &text, unsigned type = MB_OK) override;
    QString AskOpenFile(const QString &title, const QString &filter,
                        const QString &directory = QString()) override;
    QString AskSaveFile(const QString &title, const QString &filter,
                        const QString &suggestedName = QString()) override;
    void BeginWaitCursor() override { ++m_waitDepth; ++m_waitCount; }
    void EndWaitCursor() override { --m_waitDepth; }

    const std::deque<Shown> &Messages() const { return m_shown; }
    QStringList Texts() const;
    const QStringList &DialogTitles() const { return m_dialogTitles; }
    int PendingAnswers() const { return int(m_answers.size()); }
    int WaitDepth() const { return m_waitDepth; }
    int WaitCount() const { return m_waitCount; }
    void Clear();

private:
    std::deque<int> m_answers;
    std::deque<QString> m_files;
    std::deque<Shown> m_shown;
    QStringList m_dialogTitles;
    int m_waitDepth = 0;
    int m_waitCount = 0;
};

// Shows the wait cursor for its lifetime.
class WaitCursor
{
public:
    WaitCursor() { Prompts::instance().BeginWaitCursor(); }
    ~WaitCursor() { Prompts::instance().EndWaitCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Installs a scripted service for a test's scope and puts the previous one back.
class ScopedScriptedPrompts
{
public:
    ScopedScriptedPrompts();
    ~ScopedScriptedPrompts();
    ScriptedPrompts &operator*() { return *m_scripted; }
    ScriptedPrompts *operator->() { return m_scripted; }

private:
    ScriptedPrompts *m_scripted;
    std::unique_ptr<Prompts> m_previous;
};
