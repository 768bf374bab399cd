#include "app/tests/AppTestEnvironment.h"

#include "app/ApplicationLook.h"
#include "app/CAboutDlg.h"
#include "app/DensoraAppCommandIds.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "appbase/FrameServices.h"
#include "appbase/ui/COutputWnd.h"
#include "appbase/ui/CRibbonPanel.h"
#include "contracts/overlay/CDrawRectangle.h"

#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

struct StartedProcess
{
    QString program;
    QStringList arguments;
};

} // namespace

// --- status-bar zoom slider ----------------------------------------------------------

TEST_F(AppTest, ZoomSliderMapsBothWaysAndDrivesTheView)
{
    EXPECT_EQ(CDSRBaseFrame::ZoomPercentFromSlider(0), 10);
    EXPECT_EQ(CDSRBaseFrame::ZoomPercentFromSlider(25), 55);
    EXPECT_EQ(CDSRBaseFrame::ZoomPercentFromSlider(50), 100);
    EXPECT_EQ(CDSRBaseFrame::ZoomPercentFromSlider(75), 300);
    EXPECT_EQ(CDSRBaseFrame::ZoomPercentFromSlider(100), 500);
    EXPECT_EQ(CDSRBaseFrame::SliderFromZoomFactor(2.0f), 62); // 62.5, fraction dropped
    EXPECT_EQ(CDSRBaseFrame::SliderFromZoomFactor(0.55f), 25);
    EXPECT_EQ(CDSRBaseFrame::SliderFromZoomFactor(1.0f), 50);
    EXPECT_EQ(CDSRBaseFrame::SliderFromZoomFactor(5.0f), 100);

    // The user moves the slider: the pane shows the percentage, the view is asked.
    QSignalSpy requested(frame(), &CDSRBaseFrame::zoomRequested);
    frame()->GetZoomSlider()->setValue(75);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_FLOAT_EQ(requested.takeFirst().at(0).toFloat(), 3.0f);
    EXPECT_EQ(frame()->GetZoomPane()->text(), QStringLiteral("300%"));

    // The view reports its zoom through the frame services: no request back.
    FrameServices::instance()->SetZoomSlider(2.0f);
    EXPECT_EQ(frame()->GetZoomSlider()->value(), 62);
    EXPECT_EQ(frame()->GetZoomPane()->text(), QStringLiteral("200%"));
    EXPECT_EQ(requested.count(), 0);
}

// --- opening: in place or in a second process --------------------------------------------

TEST_F(AppTest, OpenLoadsInPlaceWhenEmptyAndStartsASecondProgramWhenAPictureIsShown)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first gel.png"));
    const QString second = dir.filePath(QStringLiteral("lane \"B\" 'rerun' gel.png"));
    ASSERT_TRUE(writeGel(first));
    ASSERT_TRUE(writeGel(second, 80, 40));
    std::vector<StartedProcess> started;
    CDensoraApp::SetProcessStarter([&](const QString &program, const QStringList &arguments) {
        started.push_back({program, arguments});
        return true;
    });
    ScopedScriptedPrompts prompts;

    // An empty window: Open (by its number) loads the file here.
    prompts->QueueFile(first);
    ASSERT_TRUE(frame()->GetRegistry().run(AppCmd::FileOpen));
    EXPECT_TRUE(started.empty());
    ASSERT_NE(frame()->GetDocument()->GetImage(), nullptr);
    EXPECT_EQ(frame()->GetDocument()->GetFileName(), QStringLiteral("first gel.png"));
    EXPECT_TRUE(frame()->windowTitle().startsWith(QStringLiteral("first gel.png")));

    // A picture is shown: the second file goes to a new Densora, as one
    // argument, exactly as chosen; this window keeps its picture.
    prompts->QueueFile(second);
    ASSERT_TRUE(frame()->GetRegistry().run(AppCmd::FileOpen));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, QCoreApplication::applicationFilePath());
    EXPECT_EQ(started[0].arguments, QStringList{second});
    EXPECT_EQ(frame()->GetDocument()->GetFileName(), QStringLiteral("first gel.png"));

    // Cancelling the dialog does nothing at all.
    ASSERT_TRUE(frame()->GetRegistry().run(AppCmd::FileOpen));
    EXPECT_EQ(started.size(), 1u);
    EXPECT_TRUE(prompts->Texts().isEmpty());
    EXPECT_EQ(app()->GetRecentFiles().Files(), QStringList{QFileInfo(first).canonicalFilePath()});
}

TEST_F(AppTest, AFileThatCannotBeOpenedKeepsTheDocumentAndEndsStartUp)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("gel.png"));
    const QString bad = dir.filePath(QStringLiteral("broken.tif"));
    ASSERT_TRUE(writeGel(good));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("II*\0 this is no picture", 24);
    }
    ScopedScriptedPrompts prompts;
    ASSERT_TRUE(frame()->OpenDocumentFile(good));
    frame()->GetDocument()->Add(new CDrawRectangle(CRect(2, 2, 20, 20)));
    const QString title = frame()->windowTitle();

    prompts->QueueAnswer(IDNO);
    EXPECT_FALSE(frame()->OpenDocumentFile(bad));
    // Modified: asked to save first ("no" goes on), then told why it failed.
    ASSERT_EQ(prompts->Texts().size(), 2);
    EXPECT_EQ(prompts->Texts()[0], QStringLiteral("Save changes to gel.png?"));
    Analysis1DDoc *doc = frame()->GetDocument();
    ASSERT_NE(doc->GetImage(), nullptr);
    EXPECT_EQ(doc->GetObjects().size(), 2);
    EXPECT_EQ(doc->GetFileName(), QStringLiteral("gel.png"));
    EXPECT_EQ(frame()->windowTitle(), title);
    EXPECT_FALSE(app()->GetRecentFiles().Files().contains(QFileInfo(bad).canonicalFilePath()));

    // Named on the command line, the same file ends start-up after its message.
    app()->CreateMainFrame();
    prompts->Clear();
    EXPECT_FALSE(app()->ProcessShellCommand({bad}));
    EXPECT_EQ(prompts->Texts().size(), 1);
    EXPECT_TRUE(app()->ProcessShellCommand({good}));
}

// A template opened from the file manager starts an empty window that says how
// templates are applied; a document whose bytes only resemble one still opens
// as a document would (and fails as one).
TEST_F(AppTest, ATemplateOnTheCommandLineStartsEmptyAndSaysHowToApplyIt)
{
    QTemporaryDir dir;
    const QString gel = dir.filePath(QStringLiteral("gel.png"));
    const QString layout = dir.filePath(QStringLiteral("layout.ovl"));
    ASSERT_TRUE(writeGel(gel));
    ScopedScriptedPrompts prompts;
    ASSERT_TRUE(frame()->OpenDocumentFile(gel));
    frame()->GetDocument()->Add(new CDrawRectangle(CRect(2, 2, 20, 20)));
    prompts->QueueFile(layout);
    ASSERT_TRUE(frame()->GetDocument()->OnFileSaveOverlayAs());
    ASSERT_TRUE(CDensoraApp::IsOverlayTemplate(layout));
    EXPECT_FALSE(CDensoraApp::IsOverlayTemplate(gel));

    app()->CreateMainFrame();
    prompts->Clear();
    EXPECT_TRUE(app()->ProcessShellCommand({layout}));
    EXPECT_EQ(prompts->Texts(), QStringList {CDensoraApp::kTemplateOnCommandLineText});
    EXPECT_EQ(frame()->GetDocument()->GetImage(), nullptr);
    EXPECT_TRUE(frame()->GetDocument()->GetObjects().isEmpty());
}

TEST_F(AppTest, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gel.png"));
    ASSERT_TRUE(writeGel(path));
    ScopedScriptedPrompts prompts;
    ASSERT_TRUE(frame()->OpenDocumentFile(path));
    frame()->show();
    frame()->GetDocument()->SetModifiedFlag(true);
    frame()->UpdateFrameState();
    EXPECT_TRUE(frame()->isWindowModified());
    EXPECT_TRUE(frame()->windowTitle().startsWith(QStringLiteral("gel.png[*]")));
    EXPECT_TRUE(frame()->windowTitle().endsWith(QStringLiteral(" - Densora")));

    prompts->QueueAnswer(IDCANCEL);
    EXPECT_FALSE(frame()->close());
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(prompts->Texts(), QStringList{QStringLiteral("Save changes to gel.png?")});

    // New asks the same; "no" discards the changes.
    prompts->QueueAnswer(IDNO);
    ASSERT_TRUE(frame()->GetRegistry().run(AppCmd::FileNew));
    EXPECT_EQ(frame()->GetDocument()->GetImage(), nullptr);
    EXPECT_FALSE(frame()->isWindowModified());
    EXPECT_TRUE(frame()->close());
}

// --- the output pane ---------------------------------------------------------------------

TEST_F(AppTest, AnalysisDataCreatesThenHidesThenShowsTheOutputPane)
{
    CommandRegistry &registry = frame()->GetRegistry();
    QAction *command = registry.action(AppCmd::AnalysisData);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(frame()->GetOutputWnd(), nullptr);

    ASSERT_TRUE(registry.run(AppCmd::AnalysisData));
    COutputWnd *pane = frame()->GetOutputWnd();
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->isHidden());
    EXPECT_EQ(frame()->dockWidgetArea(pane), Qt::BottomDockWidgetArea);
    EXPECT_NE(pane->GetTabs(), nullptr);
    EXPECT_TRUE(command->isChecked());

    ASSERT_TRUE(registry.run(AppCmd::AnalysisData));
    EXPECT_EQ(frame()->GetOutputWnd(), pane); // the same pane, hidden
    EXPECT_TRUE(pane->isHidden());
    EXPECT_FALSE(command->isChecked());

    ASSERT_TRUE(registry.run(AppCmd::AnalysisData));
    EXPECT_EQ(frame()->GetOutputWnd(), pane);
    EXPECT_FALSE(pane->isHidden());
    EXPECT_TRUE(command->isChecked());

    // A new document takes the pane down with the old analysis' windows.
    ASSERT_TRUE(frame()->NewDocument());
    EXPECT_EQ(frame()->GetOutputWnd(), nullptr);
}

// --- application looks -------------------------------------------------------------------

TEST_F(AppTest, StoredLookOutsideTheTableFallsBackToTheCurrentOffice2007Style)
{
    const QString section = QStringLiteral("Workspace");
    const QString key = QStringLiteral("ApplicationLook");
    // Nothing stored: the default, blue, checked in the Style drop-down.
    EXPECT_EQ(frame()->GetApplicationLook(), 215);
    EXPECT_TRUE(frame()->GetRegistry().action(215)->isChecked());
    const QColor blue = ApplicationLook::Resolve(215, 215).palette.color(QPalette::Window);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), blue);

    // A value no look has: Office 2007 in its current style, nothing checked,
    // and the value kept as stored.
    ProfileStore::instance().WriteSectionInt(section, key, 4711);
    app()->CreateMainFrame();
    EXPECT_EQ(frame()->GetApplicationLook(), 4711);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), blue);
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    for (int id = 215; id <= 219; ++id)
        EXPECT_FALSE(frame()->GetRegistry().action(id)->isChecked()) << id;
    EXPECT_EQ(ProfileStore::instance().GetSectionInt(section, key, 0), 4711);

    // After silver was chosen, the unknown value shows silver; black is dark.
    ASSERT_TRUE(frame()->GetRegistry().run(217));
    EXPECT_EQ(ProfileStore::instance().GetSectionInt(section, key, 0), 217);
    frame()->OnApplicationLook(213);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              ApplicationLook::Resolve(217, 217).palette.color(QPalette::Window));
    ASSERT_TRUE(frame()->GetRegistry().run(216));
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 80);
    EXPECT_GT(QApplication::palette().color(QPalette::WindowText).lightness(), 200);
    ASSERT_TRUE(frame()->GetRegistry().run(205));
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("windows"));
    frame()->OnApplicationLook(215);
}

// --- ribbon, frame services, help and about ---------------------------------------------

TEST_F(AppTest, RibbonButtonsAreRegisteredCommandsWithIconsAndTheFrameServesTheViews)
{
    QTabWidget *ribbon = frame()->GetRibbon();
    ASSERT_GE(ribbon->count(), 1);
    EXPECT_EQ(ribbon->tabText(0), QStringLiteral("Home"));
    QStringList panels;
    for (auto *panel : ribbon->widget(0)->findChildren<CRibbonPanel *>())
        panels << panel->Caption();
    for (const char *caption : {"Clipboard", "Overlay Objects", "Image Adjustment",
                                "Image Processing", "Image Info"})
        EXPECT_TRUE(panels.contains(QString::fromLatin1(caption))) << caption;

    int buttons = 0;
    for (QToolButton *button : frame()->menuWidget()->findChildren<QToolButton *>()) {
        if (button->parent() && button->parent()->inherits("QTabBar"))
            continue; // the tab bar's own scroll arrows
        ++buttons;
        EXPECT_FALSE(button->icon().isNull()) << button->text().toStdString();
        const QVariant id = button->property("commandId");
        if (id.isValid()) {
            EXPECT_TRUE(frame()->GetRegistry().contains(id.toInt())) << id.toInt();
        }
    }
    EXPECT_GT(buttons, 30);

    // The colour and weight choices reach new objects through the document.
    ASSERT_EQ(FrameServices::instance(), static_cast<FrameServices *>(frame()));
    const int line = CDSRBaseFrame::kLineColorButton;
    EXPECT_EQ(frame()->GetColorFromColorButton(4242), -1);
    EXPECT_EQ(frame()->GetWeightFromLineWeight(CDSRBaseFrame::kLineWeightGallery), -1);
    frame()->ChooseColor(line, long(RGB(200, 10, 30)));
    frame()->ChooseLineWeight(CDSRBaseFrame::kLineWeightGallery, 5);
    EXPECT_EQ(frame()->GetColorFromColorButton(line), long(RGB(200, 10, 30)));
    EXPECT_EQ(frame()->GetWeightFromLineWeight(CDSRBaseFrame::kLineWeightGallery), 5);
    auto *rect = new CDrawRectangle(CRect(1, 1, 9, 9));
    frame()->GetDocument()->Add(rect, true);
    EXPECT_EQ(rect->m_lineColor, RGB(200, 10, 30));
    EXPECT_EQ(rect->m_nLineWeight, 5);
    EXPECT_TRUE(rect->m_bLineEnabled);
    frame()->ChooseColor(line, -1); // back to the automatic colour
    EXPECT_GE(frame()->GetColorFromColorButton(line), 0);

    FrameServices::instance()->DisplayStatusBarText(QStringLiteral("(12, 7) = 4095"));
    EXPECT_EQ(frame()->GetStatusBarText(), QStringLiteral("(12, 7) = 4095"));

    // Help opens the page shipped with the program; About shows the version.
    QUrl opened;
    CDensoraApp::SetUrlOpener([&](const QUrl &url) {
        opened = url;
        return true;
    });
    ASSERT_TRUE(frame()->GetRegistry().run(AppCmd::HelpFinder));
    ASSERT_TRUE(opened.isLocalFile());
    EXPECT_TRUE(opened.toLocalFile().endsWith(QStringLiteral("docs/DensoraHelp.htm")));
    EXPECT_TRUE(QFileInfo::exists(opened.toLocalFile()));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version: \\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(CAboutDlg().GetVersionText())
                    .hasMatch());
    EXPECT_EQ(CAboutDlg::VersionLine(),
              QStringLiteral("Version: ") + QCoreApplication::applicationVersion());

    FrameServices *services = frame();
    app()->DestroyMainFrame();
    EXPECT_NE(FrameServices::instance(), services);
    EXPECT_EQ(FrameServices::instance(), nullptr);
}

// An empty window greys out what needs a picture, drop-down buttons included;
// the colour and weight choices stay open (they also serve the next object
// drawn). With a picture shown they can be pressed.
TEST_F(AppTest, RibbonPictureCommandsWaitForAPicture)
{
    const auto button = [this](const QString &caption) -> QToolButton * {
        for (QToolButton *b : frame()->menuWidget()->findChildren<QToolButton *>())
            if (b->text() == caption)
                return b;
        return nullptr;
    };
    const QStringList needPicture = {"Rotate",         "Palette",          "Auto\nContrast",
                                     "Display\nAdjustments", "Copy as Picture", "Crop",
                                     "Invert",         "Processing\nHistory", "Pixel\nValue",
                                     "Rectangle",      "Fit to Window"};
    frame()->UpdateFrameState();
    for (const QString &caption : needPicture) {
        QToolButton *b = button(caption);
        ASSERT_NE(b, nullptr) << caption.toStdString();
        EXPECT_FALSE(b->isEnabled()) << caption.toStdString();
    }
    EXPECT_FALSE(button("Align")->isEnabled());
    EXPECT_TRUE(button("Fill Color")->isEnabled());
    EXPECT_TRUE(button("Line Weight")->isEnabled());

    QTemporaryDir dir;
    const QString gel = dir.filePath(QStringLiteral("gel.png"));
    ASSERT_TRUE(writeGel(gel));
    ASSERT_TRUE(frame()->OpenDocumentFile(gel));
    frame()->UpdateFrameState();
    for (const QString &caption : needPicture)
        EXPECT_TRUE(button(caption)->isEnabled()) << caption.toStdString();
    EXPECT_FALSE(button("Align")->isEnabled()); // two objects to align
}

TEST_F(AppTest, OpenFilterLetsTheDialogShowEveryImageTypeAndDocuments)
{
    EXPECT_EQ(CDensoraApp::QtFilter(CDensoraApp::kOpenFilter),
              QStringLiteral("Image Files (*.tif *.TIF *.tiff *.TIFF *.gif *.GIF *.bmp *.BMP "
                             "*.pcx *.PCX *.png *.PNG *.tga *.TGA *.psd *.PSD *.ras *.RAS "
                             "*.jpg *.JPG);;Densora Files (*.dsr *.DSR)"));
}
