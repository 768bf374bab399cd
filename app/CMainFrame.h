#pragma once

// The main window of the program: one window, one analysis document. It lays
// out the ribbon (the application button with its "File" items, the home tab,
// the quick access toolbar, the analysis category, the "Style" drop-down,
// About and Help), routes the frame-level commands (looks, options, save,
// overlay templates, "Analysis Data") and keeps the title, the modified mark
// and the output pane in step with the document.

#include "appbase/ui/CDSRBaseFrame.h"

#include <QTimer>

#include <memory>

class Analysis1DDoc;
class Analysis1DView;
class CDensoraView;
class QMenu;

class CMainFrame : public CDSRBaseFrame
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    bool OnCreate() override;

    Analysis1DDoc *GetDocument() const { return m_pDocument.get(); }
    QWidget *GetCentralView() const { return m_pCentralView; }
    CDensoraView *GetView() const;
    // The view of the window: the analysis view on the gel.
    Analysis1DView *GetAnalysisView() const { return m_pView.get(); }

    // Opens a file in this window, asking first to save unsaved changes. A file
    // that cannot be opened is reported by the document, which keeps what it
    // held. True when the file is now shown.
    bool OpenDocumentFile(const QString &path);
    // An empty document, after asking to save unsaved changes.
    bool NewDocument();
    // Asks "Save changes to ...?" when the document is modified: true when the
    // caller may go on (saved or not wanted), false when the user cancelled or
    // the save failed.
    bool SaveModified();

    // Application looks ------------------------------------------------------------
    // Applies and stores a look (205 ... 219; see ApplicationLook).
    void OnApplicationLook(int id);
    int GetApplicationLook() const { return m_nAppLook; }

    // "Analysis Data": creates and shows the output pane with the report and
    // graph, then hides and shows it in turn.
    void OnAnalysisData();
    void DestroyOutputWindow() override;

    // Recent documents, newest first.
    void RebuildRecentMenu();

    // Title with the file name and the modified mark; enabled commands.
    void UpdateFrameState();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QWidget *createCentralView();
    void documentReplaced();
    void registerCommands();
    void buildApplicationButton();
    void buildTabRow();
    void applyStandardShortcuts();
    bool saveDocument(bool saveAs);

    std::unique_ptr<Analysis1DDoc> m_pDocument;
    // Declared after the document: the view goes first.
    std::unique_ptr<Analysis1DView> m_pView;
    QWidget *m_pCentralView = nullptr;
    QMenu *m_pRecentMenu = nullptr;
    int m_nAppLook;
    int m_nOffice2007Style;
    // The document has no change signal: the title and the enabled states are
    // brought up to date after every command and a few times a second.
    QTimer m_stateTimer;
};
