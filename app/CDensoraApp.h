#pragma once

// The application object: identity, settings, the recent-file list, the one
// main window and the commands the application answers (New, Open, Print
// Setup, About, Help).
//
// One window holds one document. Opening a file while the window shows a
// picture starts a second Densora with the file as its only argument, passed
// as one argument of the argument list (no shell, so no quoting). Starting
// that process and opening the help page go through replaceable functions,
// so tests see what would have been started.

#include "app/RecentFileList.h"

#include <QApplication>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class CMainFrame;
class QPrinter;

class CDensoraApp : public QApplication
{
    Q_OBJECT
public:
    static constexpr const char *kAppId = "TavoroSystems.Densora.SingleChannel.Version2";
    // The file dialog filter of the Open command, in its stored form.
    static const QString kOpenFilter;

    CDensoraApp(int &argc, char **argv);
    ~CDensoraApp() override;

    static CDensoraApp *instance();

    // --version and --help are answered on the console before any window
    // exists, so they work without a display (an installed program is checked
    // that way): whether the arguments ask for one of them, and the answer
    // (the process ends with it).
    static bool AnswersOnConsole(int argc, char **argv);
    static int AnswerOnConsole(int &argc, char **argv);

    // Start-up: the user's settings and the desktop's dialogs, the look, the
    // main window, and the file named on the command line (or an empty
    // document). False when that file cannot be opened: its message has been
    // shown and the program ends.
    bool InitInstance();
    // The main window with every command registered (start-up, tests).
    CMainFrame *CreateMainFrame();
    CMainFrame *GetMainFrame() const { return m_pMainFrame.get(); }
    void DestroyMainFrame();
    // Opens the first file of the list, or starts with an empty document; an
    // overlay template starts an empty document too, with a word on how to
    // apply it.
    bool ProcessShellCommand(const QStringList &files);
    static const QString kTemplateOnCommandLineText;
    // Whether the file starts with the overlay template's header.
    static bool IsOverlayTemplate(const QString &path);

    // What became of a file the user chose.
    enum class OpenOutcome { OpenedHere, NotOpened, SecondInstance, NotStarted };
    // In this window when it shows no picture, else in a second process.
    OpenOutcome OpenFile(const QString &path);

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnHelpFinder();

    // The help page shipped with the program, or empty when none is found.
    static QString FindHelpFile();
    // "Desc|*.a;*.b|Desc2|*.c|" to Qt's "Desc (*.a *.A *.b *.B);;Desc2 (*.c *.C)";
    // the upper-case patterns find files named on systems that ignore case.
    static QString QtFilter(const QString &storedFilter);

    RecentFileList &GetRecentFiles() { return m_recentFiles; }
    void AddToRecentFileList(const QString &path);
    // The printer set up with Print Setup and used for printing.
    QPrinter *GetPrinter();

    using ProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
    using UrlOpener = std::function<bool(const QUrl &url)>;
    // Replace how a process is started / a page opened; an empty function puts
    // the real one back.
    static void SetProcessStarter(ProcessStarter starter);
    static void SetUrlOpener(UrlOpener opener);

private:
    std::unique_ptr<CMainFrame> m_pMainFrame;
    RecentFileList m_recentFiles;
    std::unique_ptr<QPrinter> m_pPrinter;
};
