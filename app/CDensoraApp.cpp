#include "app/CDensoraApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/DensoraAppCommandIds.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/ui/Analysis1DWindows.h"
#include "appbase/ui/GuiPrompts.h"
#include "util/CExportTable.h"

#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QCommandLineParser>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>

const QString CDensoraApp::kOpenFilter = QStringLiteral(
    "Image Files|*.tif;*.tiff;*.gif;*.bmp;*.pcx;*.png;*.tga;*.psd;*.ras;*.jpg|Densora Files|*.dsr|");

namespace {

CDensoraApp::ProcessStarter g_processStarter;
CDensoraApp::UrlOpener g_urlOpener;

bool startProcess(const QString &program, const QStringList &arguments)
{
    if (g_processStarter)
        return g_processStarter(program, arguments);
    return QProcess::startDetached(program, arguments);
}

bool openUrl(const QUrl &url)
{
    if (g_urlOpener)
        return g_urlOpener(url);
    return QDesktopServices::openUrl(url);
}

// Our own icon theme when the desktop names none (or only the bare fallback
// theme, whose icons are few).
void chooseIconTheme()
{
    // Without a desktop platform theme (offscreen, a bare window manager) Qt
    // looks for themes in its resources only: add the system's icon folders.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString &dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                        QStringLiteral("icons"),
                                                        QStandardPaths::LocateDirectory)) {
        if (!paths.contains(dir))
            paths.append(dir);
    }
    QIcon::setThemeSearchPaths(paths);
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("TavoroSystems"));
    QCoreApplication::setApplicationName(QStringLiteral("Densora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DENSORA_VERSION_FOUR_PARTS));
}

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Quantitative analysis of 1D gel-electrophoresis images."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A gel image or Densora document to open."));
}

} // namespace

bool CDensoraApp::AnswersOnConsole(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") // the rest are file names
            return false;
        if (arg == "-v" || arg == "--version" || arg == "-h" || arg == "--help"
            || arg == "--help-all" || arg == "-?")
            return true;
    }
    return false;
}

int CDensoraApp::AnswerOnConsole(int &argc, char **argv)
{
    QCoreApplication console(argc, argv);
    setIdentity();
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(console); // prints the answer and ends the process
    return 0;
}

CDensoraApp::CDensoraApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setIdentity();
    setApplicationDisplayName(QStringLiteral("Densora"));
    // The launcher's name, so the desktop ties the window to it.
    setDesktopFileName(QStringLiteral(DENSORA_DESKTOP_ID));
    setWindowIcon(QIcon(QStringLiteral(":/icons/densora.svg")));
    chooseIconTheme();
    // The analyses open their wizard, dialogs and result windows here.
    Analysis1DWindows::Install();
}

CDensoraApp::~CDensoraApp()
{
    DestroyMainFrame();
}

CDensoraApp *CDensoraApp::instance()
{
    return qobject_cast<CDensoraApp *>(QCoreApplication::instance());
}

bool CDensoraApp::InitInstance()
{
    // The user's settings: ~/.config/TavoroSystems/Densora.conf.
    ProfileStore::install(std::make_unique<SettingsProfileStore>());
    Prompts::install(std::make_unique<GuiPrompts>());
    // Exported tables open in the desktop's spreadsheet program once written.
    CExportTable::SetOpensOnDesktop(true);
    m_recentFiles.Load(ProfileStore::instance());

    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(arguments());

    CMainFrame *frame = CreateMainFrame();
    if (!ProcessShellCommand(parser.positionalArguments()))
        return false;
    frame->show();
    return true;
}

CMainFrame *CDensoraApp::CreateMainFrame()
{
    DestroyMainFrame();
    m_pMainFrame = std::make_unique<CMainFrame>();
    CMainFrame *frame = m_pMainFrame.get();
    CommandRegistry &r = frame->GetRegistry();
    r.add(AppCmd::FileNew, QStringLiteral("&New"), [this] { OnFileNew(); });
    r.add(AppCmd::FileOpen, QStringLiteral("&Open"), [this] { OnFileOpen(); });
    r.add(AppCmd::FilePrintSetup, QStringLiteral("Print Set&up..."), [this] { OnFilePrintSetup(); });
    r.add(AppCmd::AppAbout, QStringLiteral("&About Densora..."), [this] { OnAppAbout(); });
    r.add(AppCmd::HelpFinder, QStringLiteral("&Help Topics"), [this] { OnHelpFinder(); });
    frame->OnCreate();
    return frame;
}

void CDensoraApp::DestroyMainFrame()
{
    m_pMainFrame.reset();
}

const QString CDensoraApp::kTemplateOnCommandLineText = QStringLiteral(
    "This file is an overlay template. Open the gel picture it is meant for, then choose "
    "Load Overlay Template to apply it.");

bool CDensoraApp::IsOverlayTemplate(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(CDensoraDoc::kFileHeaderSize);
    return header.size() == CDensoraDoc::kFileHeaderSize
        && CDensoraDoc::kTemplateSignature.Matches(
            reinterpret_cast<const uint8_t *>(header.constData()));
}

bool CDensoraApp::ProcessShellCommand(const QStringList &files)
{
    if (!m_pMainFrame)
        return false;
    if (files.isEmpty())
        return m_pMainFrame->NewDocument();
    // The launcher offers Densora for templates too (a double click in the
    // file manager): a template needs a picture, so the program starts empty
    // and says how a template is applied, rather than refusing it as a
    // document.
    if (IsOverlayTemplate(files.first())) {
        if (!m_pMainFrame->NewDocument())
            return false;
        Prompts::instance().MessageBox(kTemplateOnCommandLineText, MB_OK | MB_ICONINFORMATION);
        return true;
    }
    return m_pMainFrame->OpenDocumentFile(files.first());
}

CDensoraApp::OpenOutcome CDensoraApp::OpenFile(const QString &path)
{
    if (!m_pMainFrame || path.isEmpty())
        return OpenOutcome::NotOpened;
    if (m_pMainFrame->GetDocument()->GetImage()) {
        const QString program = QCoreApplication::applicationFilePath();
        if (program.isEmpty() || !QFileInfo::exists(program)) {
            std::printf("Cannot install service (%d)\n", errno);
            std::fflush(stdout);
            return OpenOutcome::NotStarted;
        }
        // One argument, as it is: spaces and quotes in the name need no quoting
        // without a shell in between.
        return startProcess(program, {path}) ? OpenOutcome::SecondInstance
                                             : OpenOutcome::NotStarted;
    }
    return m_pMainFrame->OpenDocumentFile(path) ? OpenOutcome::OpenedHere
                                                : OpenOutcome::NotOpened;
}

void CDensoraApp::OnFileNew()
{
    if (m_pMainFrame)
        m_pMainFrame->NewDocument();
}

void CDensoraApp::OnFileOpen()
{
    const QString path
        = Prompts::instance().AskOpenFile(QStringLiteral("Open"), QtFilter(kOpenFilter));
    if (path.isEmpty())
        return;
    OpenFile(path);
}

void CDensoraApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(GetPrinter(), m_pMainFrame.get());
    dialog.exec();
}

void CDensoraApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainFrame.get());
    dialog.exec();
}

void CDensoraApp::OnHelpFinder()
{
    // Nothing to show is not worth a message: the command simply does nothing.
    const QString page = FindHelpFile();
    if (!page.isEmpty())
        openUrl(QUrl::fromLocalFile(page));
}

QString CDensoraApp::FindHelpFile()
{
    const QString name = QStringLiteral("DensoraHelp.htm");
    const QDir exe(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        exe.filePath(QStringLiteral("../docs/") + name), // build tree: build/bin/../docs
        exe.filePath(QStringLiteral("../share/densora/docs/") + name), // installed
        QStringLiteral(DENSORA_SOURCE_DIR "/docs/") + name, // the source tree it was built from
        QDir::current().filePath(QStringLiteral("Help/") + name), // beside the documents
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

QString CDensoraApp::QtFilter(const QString &storedFilter)
{
    const QStringList parts = storedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty())
            break;
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern.trimmed();
            if (pattern.trimmed().toUpper() != pattern.trimmed())
                patterns << pattern.trimmed().toUpper();
        }
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

void CDensoraApp::AddToRecentFileList(const QString &path)
{
    if (path.isEmpty())
        return;
    m_recentFiles.Add(path);
    m_recentFiles.Save(ProfileStore::instance());
    if (m_pMainFrame)
        m_pMainFrame->RebuildRecentMenu();
}

QPrinter *CDensoraApp::GetPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_pPrinter.get();
}

void CDensoraApp::SetProcessStarter(ProcessStarter starter)
{
    g_processStarter = std::move(starter);
}

void CDensoraApp::SetUrlOpener(UrlOpener opener)
{
    g_urlOpener = std::move(opener);
}
