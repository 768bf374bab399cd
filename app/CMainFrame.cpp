#include "app/CMainFrame.h"

#include "app/ApplicationLook.h"
#include "app/CDensoraApp.h"
#include "app/DensoraAppCommandIds.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/ui/Analysis1DCanvas.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "analysis1d/ui/AnalysisViewWindows.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/CDensoraView.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/ui/CDensoraCanvas.h"
#include "appbase/ui/COutputWnd.h"
#include "appbase/ui/pages/IPMainPropertySheet.h"
#include "contracts/overlay/ui/CLineWeightDlg.h"
#include "contracts/overlay/ui/OverlayTextEntry.h"
#include "imaging/ui/ImageInfoListDialog.h"
#include "appbase/ui/CRibbonPanel.h"

#include "imaging/TVFImage.h"

#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QToolButton>

namespace {

// Where the old framework kept the workspace values of the application.
const QString kWorkspaceSection = QStringLiteral("Workspace");
const QString kLookKey = QStringLiteral("ApplicationLook");

const QString kProgramTitle = QStringLiteral("Densora");

// The editing commands that get the desktop's standard keys (the view owns them).
constexpr int kEditClear = DensoraCmd::EditClear;
constexpr int kEditCopy = DensoraCmd::EditCopy;
constexpr int kEditPaste = DensoraCmd::EditPaste;
constexpr int kEditUndo = DensoraCmd::EditUndo;
constexpr int kEditRedo = DensoraCmd::EditRedo;

QString localFileOf(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

CMainFrame::CMainFrame(QWidget *parent)
    : CDSRBaseFrame(parent),
      m_pDocument(std::make_unique<Analysis1DDoc>()),
      m_nAppLook(ProfileStore::instance().GetSectionInt(kWorkspaceSection, kLookKey,
                                                        ApplicationLook::kDefault)),
      m_nOffice2007Style(ApplicationLook::kDefault)
{
    setWindowTitle(kProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/densora.svg")));
    setAcceptDrops(true);
    m_stateTimer.setInterval(250);
    connect(&m_stateTimer, &QTimer::timeout, this, &CMainFrame::UpdateFrameState);
}

CMainFrame::~CMainFrame()
{
    m_stateTimer.stop();
    // The output pane's report and graph belong to the analysis, which goes
    // with the document: take them down while both still exist.
    DestroyOutputWindow();
    // The view widget refers to the document; it goes first.
    delete takeCentralWidget();
}

bool CMainFrame::OnCreate()
{
    if (!CDSRBaseFrame::OnCreate())
        return false;
    OnApplicationLook(m_nAppLook);

    registerCommands();
    m_pCentralView = createCentralView();
    setCentralWidget(m_pCentralView);

    buildApplicationButton();
    AddTab_Home();
    Add_QAT();
    Analysis1D::AddMenu(GetRibbon());
    buildTabRow();
    applyStandardShortcuts();

    resize(1200, 800);
    UpdateFrameState();
    m_stateTimer.start();
    return true;
}

// --- the central view --------------------------------------------------------------

CDensoraView *CMainFrame::GetView() const
{
    return m_pView.get();
}

// The analysis view on the gel: the headless view draws and runs the
// commands (the image commands and the analysis ones), the canvas shows it.
// The dialogs the view opens are reached through its seams, which the window
// layer fills here with the real dialogs over this window.
QWidget *CMainFrame::createCentralView()
{
    AnalysisViewWindows::Install();
    CDensoraView::SetIPDialog([this](CDrawImage *target, enImageProcessingMethod method) {
        return RunImageAdjustmentSheet(target, method, this);
    });
    CDensoraView::SetLineWeightDialog([this](int current) { return AskLineWeight(current, this); });
    InstallImageInfoListDialog();
    InstallOverlayTextEntry();

    m_pView = std::make_unique<Analysis1DView>(m_pDocument.get());
    m_pView->RegisterCommands(m_registry);
    connect(this, &CDSRBaseFrame::zoomRequested, this,
            [this](float zoom) { m_pView->SetZoomFactor(zoom); });
    auto *canvas = new Analysis1DCanvas(m_pView.get(), m_registry, this);
    canvas->setObjectName(QStringLiteral("imageView"));
    return canvas;
}

void CMainFrame::documentReplaced()
{
    // A new document: the report and graph of the previous analysis go.
    DestroyOutputWindow();
    if (m_pView) {
        m_pView->DeselectAllObjects();
        m_pView->SetToDefaultTool();
        if (m_pDocument->GetImage())
            m_pView->ZoomToView();
        else
            m_pView->SetZoomFactor(1.0f);
        m_pView->InvalidateView();
    }
    UpdateFrameState();
}

// --- commands ----------------------------------------------------------------------

void CMainFrame::registerCommands()
{
    CommandRegistry &r = m_registry;
    for (int id = AppCmd::AppLookFirst; id <= AppCmd::AppLookLast; ++id) {
        if (!ApplicationLook::IsKnown(id))
            continue;
        r.add(
            id, QString(), [this, id] { OnApplicationLook(id); }, {},
            [this, id] { return m_nAppLook == id; });
    }
    r.action(AppCmd::AppLookOffice2007Blue)->setText(QStringLiteral("Office 2007 (&Blue Style)"));
    r.action(AppCmd::AppLookOffice2007Black)->setText(QStringLiteral("Office 2007 (B&lack Style)"));
    r.action(AppCmd::AppLookOffice2007Silver)
        ->setText(QStringLiteral("Office 2007 (&Silver Style)"));
    r.action(AppCmd::AppLookOffice2007Aqua)->setText(QStringLiteral("Office 2007 (&Aqua Style)"));
    r.action(AppCmd::AppLookWindows7)->setText(QStringLiteral("Win&dows 7"));
    r.action(AppCmd::AppLookWin2000)->setText(QStringLiteral("Windows 2000"));
    r.action(AppCmd::AppLookOfficeXP)->setText(QStringLiteral("Office XP"));
    r.action(AppCmd::AppLookWinXP)->setText(QStringLiteral("Windows XP"));
    r.action(AppCmd::AppLookOffice2003)->setText(QStringLiteral("Office 2003"));
    r.action(AppCmd::AppLookVS2005)->setText(QStringLiteral("Visual Studio 2005"));
    r.action(AppCmd::AppLookVS2008)->setText(QStringLiteral("Visual Studio 2008"));

    r.add(AppCmd::Options, QStringLiteral("Opt&ions"),
          [this] { m_pDocument->ShowApplicationOptions(this); });

    r.add(AppCmd::AnalysisData, QStringLiteral("Analysis Data"), [this] { OnAnalysisData(); },
          {}, [this] { return GetOutputWnd() && !GetOutputWnd()->isHidden(); });
    r.add(AppCmd::FileSave, QStringLiteral("&Save"), [this] { saveDocument(false); },
          [this] { return m_pDocument->GetImage() != nullptr; });
    r.add(AppCmd::FileSaveAs, QStringLiteral("Save &As..."), [this] { saveDocument(true); },
          [this] { return m_pDocument->GetImage() != nullptr; });
    r.add(AppCmd::AppExit, QStringLiteral("E&xit"), [this] { close(); });
    r.add(
        AppCmd::FileLoadOverlay, QStringLiteral("Load Overlay Template"),
        [this] {
            m_pDocument->OnFileLoadOverlay();
            m_pDocument->UpdateAllViews(nullptr);
        },
        [this] { return m_pDocument->GetImage() != nullptr; });
    r.add(
        AppCmd::FileSaveOverlay, QStringLiteral("Save Overlay Template"),
        [this] { m_pDocument->OnFileSaveOverlayAs(); },
        [this] { return m_pDocument->DocContainsOverlayObjects(); });

    // Every command may change the document, its title or what can run next.
    for (int id : r.ids())
        connect(r.action(id), &QAction::triggered, this, &CMainFrame::UpdateFrameState,
                Qt::QueuedConnection);
}

void CMainFrame::applyStandardShortcuts()
{
    const struct
    {
        int id;
        QKeySequence keys;
    } standard[] = {
        {AppCmd::FileNew, QKeySequence::New},
        {AppCmd::FileOpen, QKeySequence::Open},
        {AppCmd::FileSave, QKeySequence::Save},
        {AppCmd::FileSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {AppCmd::FilePrint, QKeySequence::Print},
        {AppCmd::AppExit, QKeySequence::Quit},
        {AppCmd::HelpFinder, QKeySequence(Qt::Key_F1)},
        {kEditUndo, QKeySequence::Undo},
        {kEditRedo, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {kEditCopy, QKeySequence::Copy},
        {kEditPaste, QKeySequence::Paste},
        {kEditClear, QKeySequence::Delete},
    };
    for (const auto &s : standard) {
        QAction *action = Command(s.id, QString());
        QList<QKeySequence> keys{s.keys};
        // Ctrl+Shift+Z redoes too, as in most desktop programs.
        if (s.id == kEditRedo)
            keys.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

void CMainFrame::buildApplicationButton()
{
    QMenu *menu = AddApplicationButton(QStringLiteral("&File"),
                                       QIcon(QStringLiteral(":/icons/densora.svg")));
    AddMenuEntry(menu, AppCmd::FileOpen, QStringLiteral("&Open"),
                 RibbonIcon(QStringLiteral("document-open")));
    AddMenuEntry(menu, AppCmd::FileSave, QStringLiteral("&Save"),
                 RibbonIcon(QStringLiteral("document-save")));
    AddMenuEntry(menu, AppCmd::FileSaveAs, QStringLiteral("Save &As..."),
                 RibbonIcon(QStringLiteral("document-save-as")));
    menu->addSeparator();
    AddMenuEntry(menu, AppCmd::FileLoadOverlay, QStringLiteral("Load Overlay Template"),
                 RibbonIcon(QString(), QStringLiteral("template-load")));
    AddMenuEntry(menu, AppCmd::FileSaveOverlay, QStringLiteral("Save Overlay Template"),
                 RibbonIcon(QString(), QStringLiteral("template-save")));
    menu->addSeparator();
    QMenu *print = menu->addMenu(RibbonIcon(QStringLiteral("document-print")),
                                 QStringLiteral("&Print"));
    print->addSection(QStringLiteral("Preview and print the document"));
    AddMenuEntry(print, AppCmd::FilePrint, QStringLiteral("&Print"),
                 RibbonIcon(QStringLiteral("document-print")));
    AddMenuEntry(print, AppCmd::FilePrintDirect, QStringLiteral("&Quick Print"),
                 RibbonIcon(QStringLiteral("document-print-direct"), QStringLiteral("quick-print")));
    AddMenuEntry(print, AppCmd::FilePrintPreview, QStringLiteral("Print Pre&view"),
                 RibbonIcon(QStringLiteral("document-print-preview")));
    menu->addSeparator();
    m_pRecentMenu = menu->addMenu(RibbonIcon(QStringLiteral("document-open-recent")),
                                  QStringLiteral("Recent Documents"));
    m_pRecentMenu->setMinimumWidth(300);
    RebuildRecentMenu();
    menu->addSeparator();
    AddMenuEntry(menu, AppCmd::Options, QStringLiteral("Opt&ions"),
                 RibbonIcon(QStringLiteral("configure"), QStringLiteral("options")));
    AddMenuEntry(menu, AppCmd::AppExit, QStringLiteral("E&xit"),
                 RibbonIcon(QStringLiteral("application-exit")));
    connect(menu, &QMenu::aboutToShow, this, [this] {
        m_registry.updateAll();
        RebuildRecentMenu();
    });
}

void CMainFrame::RebuildRecentMenu()
{
    if (!m_pRecentMenu)
        return;
    m_pRecentMenu->clear();
    CDensoraApp *app = CDensoraApp::instance();
    const QStringList files = app ? app->GetRecentFiles().Files() : QStringList();
    if (files.isEmpty()) {
        m_pRecentMenu->addAction(QStringLiteral("(no recent documents)"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        const QString label = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(QFileInfo(path).fileName());
        QAction *entry = m_pRecentMenu->addAction(label);
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [path] {
            if (CDensoraApp *a = CDensoraApp::instance())
                a->OpenFile(path);
        });
    }
}

void CMainFrame::buildTabRow()
{
    auto *style = new QToolButton;
    style->setText(QStringLiteral("Style"));
    style->setIcon(RibbonIcon(QStringLiteral("preferences-desktop-theme"), QStringLiteral("style")));
    style->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    style->setPopupMode(QToolButton::InstantPopup);
    style->setAutoRaise(true);
    auto *looks = new QMenu(style);
    for (int id = AppCmd::AppLookOffice2007Blue; id <= AppCmd::AppLookWindows7; ++id)
        looks->addAction(m_registry.action(id));
    connect(looks, &QMenu::aboutToShow, this, [this] { m_registry.updateAll(); });
    style->setMenu(looks);
    AddTabRowElement(style);

    const struct
    {
        int id;
        const char *caption;
        const char *icon;
    } buttons[] = {{AppCmd::AppAbout, "About", "help-about"},
                   {AppCmd::HelpFinder, "Help", "help-contents"}};
    for (const auto &b : buttons) {
        auto *button = new QToolButton;
        button->setIcon(RibbonIcon(QString::fromLatin1(b.icon)));
        button->setIconSize(QSize(CRibbonPanel::kSmallIcon, CRibbonPanel::kSmallIcon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        CRibbonPanel::BindButton(button, Command(b.id, QString::fromLatin1(b.caption)),
                                 QString::fromLatin1(b.caption));
        AddTabRowElement(button);
    }
}

// --- looks ---------------------------------------------------------------------------

void CMainFrame::OnApplicationLook(int id)
{
    WaitCursor wait;
    m_nAppLook = id;
    m_nOffice2007Style = ApplicationLook::Apply(id, m_nOffice2007Style);
    ProfileStore::instance().WriteSectionInt(kWorkspaceSection, kLookKey, id);
    m_registry.updateAll();
    update();
}

// --- documents -----------------------------------------------------------------------

bool CMainFrame::SaveModified()
{
    if (!m_pDocument->IsModified())
        return true;
    QString name = m_pDocument->GetFileName();
    if (name.isEmpty())
        name = QStringLiteral("Untitled");
    switch (Prompts::instance().MessageBox(QStringLiteral("Save changes to %1?").arg(name),
                                           MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return saveDocument(false);
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::saveDocument(bool saveAs)
{
    const bool saved = saveAs ? m_pDocument->OnFileSaveAs() : m_pDocument->OnFileSave();
    if (saved) {
        if (CDensoraApp *app = CDensoraApp::instance())
            app->AddToRecentFileList(m_pDocument->GetPathName());
    }
    UpdateFrameState();
    return saved;
}

bool CMainFrame::OpenDocumentFile(const QString &path)
{
    if (!SaveModified())
        return false;
    if (!m_pDocument->OnOpenDocument(path)) {
        // The document reported why and kept what it held.
        UpdateFrameState();
        return false;
    }
    if (CDensoraApp *app = CDensoraApp::instance())
        app->AddToRecentFileList(path);
    documentReplaced();
    return true;
}

bool CMainFrame::NewDocument()
{
    if (!SaveModified())
        return false;
    if (!m_pDocument->OnNewDocument())
        return false;
    documentReplaced();
    return true;
}

void CMainFrame::UpdateFrameState()
{
    // "name[*] - [at zoom factor 1.00] - Densora": the mark follows the file name.
    QString title = m_pDocument->GetTitle();
    if (title.isEmpty())
        title = QStringLiteral("Untitled");
    const int zoomAt = title.indexOf(QStringLiteral(" - ["));
    if (zoomAt >= 0)
        title.insert(zoomAt, QStringLiteral("[*]"));
    else
        title += QStringLiteral("[*]");
    const QString full = title + QStringLiteral(" - ") + kProgramTitle;
    if (windowTitle() != full)
        setWindowTitle(full);
    setWindowModified(m_pDocument->IsModified());
    m_registry.updateAll();
}

// --- the output pane -----------------------------------------------------------------

void CMainFrame::OnAnalysisData()
{
    Analysis1D *analysis = m_pDocument->GetAnalysis();
    COutputWnd *pane = GetOutputWnd();
    // The report and graph of an analysis begun after the pane was made (or
    // whose windows went with an earlier analysis) are made when it shows.
    const auto ensureResultWindows = [analysis](COutputWnd *p) {
        if (!analysis)
            return;
        analysis->CalculateAnalysisData();
        if (analysis->GetReportWnd().isNull()) {
            analysis->CreateReportWnd(p->GetTabs());
            // The numbers first, rather than the empty output page.
            if (ReportWnd1D *report = analysis->GetReportWnd().data())
                p->GetTabs()->setCurrentWidget(report);
        }
        if (analysis->GetGraphWnd().isNull())
            analysis->CreateGraphWnd(p->GetTabs());
    };
    if (!pane || !pane->widget()) {
        pane = CreateOutputWindow();
        ensureResultWindows(pane);
        pane->show();
        if (analysis)
            analysis->UpdateReportAndGraph();
    } else if (!pane->isHidden()) {
        pane->hide();
    } else {
        ensureResultWindows(pane);
        pane->show();
        if (analysis)
            analysis->UpdateReportAndGraph();
    }
    m_registry.update(AppCmd::AnalysisData);
}

void CMainFrame::DestroyOutputWindow()
{
    const bool hadPane = GetOutputWnd() != nullptr;
    CDSRBaseFrame::DestroyOutputWindow();
    if (hadPane && m_pDocument && m_pDocument->GetAnalysis())
        m_pDocument->GetAnalysis()->DestroyReportAndGraph();
}

// --- window events -------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    m_stateTimer.stop();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFileOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QString path = localFileOf(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened as if chosen in the Open dialog: a window that shows a picture
    // keeps it and the file gets a window of its own.
    if (CDensoraApp *app = CDensoraApp::instance())
        app->OpenFile(path);
}
