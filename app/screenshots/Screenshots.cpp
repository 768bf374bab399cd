// Saves the main window in its principal states as PNG files:
//   DensoraScreenshots <output folder> <sample gel>
// Runs under the offscreen platform with the real widgets; fails when a
// state cannot be reached or a picture cannot be written.

#include "app/CDensoraApp.h"
#include "app/CMainFrame.h"
#include "app/DensoraAppCommandIds.h"

#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"
#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"
#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/CDensoraView.h"
#include "appbase/DensoraCommandIds.h"
#include "data/CDoubleDataArray.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

bool save(const QPixmap &pixmap, const QDir &dir, const char *name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (pixmap.isNull() || !pixmap.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool shoot(QWidget *window, const QDir &dir, const char *name)
{
    settle();
    return save(window->grab(), dir, name);
}

// A popup is a window of its own: painted onto the frame where it opened.
bool shootWithMenu(QWidget *window, QMenu *menu, QPoint at, const QDir &dir, const char *name)
{
    menu->popup(window->mapToGlobal(at));
    settle();
    QPixmap picture = window->grab();
    {
        QPainter p(&picture);
        p.drawPixmap(window->mapFromGlobal(menu->pos()), menu->grab());
    }
    menu->hide();
    return save(picture, dir, name);
}

// A command that opens a modal dialog: the dialog is shot once it shows, then
// closed, and the command returns.
bool shootModal(CMainFrame *frame, int command, const QDir &dir, const char *name)
{
    bool ok = false;
    QTimer poll;
    poll.setInterval(50);
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog && ++tries < 100)
            return;
        poll.stop();
        if (!dialog)
            return;
        settle();
        ok = save(dialog->grab(), dir, name);
        dialog->close();
    });
    poll.start();
    if (!frame->GetRegistry().run(command))
        std::fprintf(stderr, "command %d cannot run for %s\n", command, name);
    return ok;
}

// The print preview of the picture shown, fitted to the page, at the size a
// user would open it.
bool shootPrintPreview(CMainFrame *frame, const QDir &dir)
{
    CDensoraView *view = frame->GetView();
    const bool fit = view->GetFitToPage();
    view->SetFitToPage(true);
    const bool ok = shootModal(frame, DensoraCmd::FilePrintPreview, dir, "20-print-preview.png");
    view->SetFitToPage(fit);
    return ok;
}

// The empty window in the dark look: the hint must stay readable.
bool shootEmptyDark(CMainFrame *frame, const QDir &dir)
{
    const int look = frame->GetApplicationLook();
    frame->GetRegistry().run(AppCmd::AppLookOffice2007Black);
    const bool ok = shoot(frame, dir, "01-empty-window-dark.png");
    frame->GetRegistry().run(look);
    return ok;
}

// A dialog is a window of its own too: painted where it stands over the frame.
bool shootWithDialog(QWidget *window, QWidget *dialog, const QDir &dir, const char *name)
{
    dialog->show();
    dialog->raise();
    settle();
    QPixmap picture = window->grab();
    {
        QPainter p(&picture);
        const QPoint at = window->mapFromGlobal(dialog->frameGeometry().topLeft());
        p.fillRect(QRect(at, dialog->size()).adjusted(-1, -1, 1, 1), QColor(0x60, 0x60, 0x60));
        p.drawPixmap(at, dialog->grab());
    }
    return save(picture, dir, name);
}

// Puts a dialog at the right edge of the window, below the ribbon, where it
// hides the least of the gel; a tall one is made no taller than the room
// below the ribbon, and moves up only when it cannot shrink that far, so that
// its buttons stay in the picture.
void placeRight(QWidget *window, QWidget *dialog)
{
    dialog->adjustSize();
    const QRect frame = window->geometry();
    constexpr int kMargin = 8;
    constexpr int kRibbon = 150; // the title row, tabs and ribbon panels
    const int room = frame.height() - kRibbon - kMargin;
    if (dialog->height() > room)
        dialog->resize(dialog->width(), std::max(dialog->minimumHeight(), room));
    const int lowest = frame.bottom() - dialog->height() - kMargin;
    const int top = std::max(frame.top() + kMargin, std::min(frame.top() + 190, lowest));
    dialog->move(frame.right() - dialog->width() - 24, top);
}

// The user's mouse on the gel: presses, drags and releases at gel pixels.
class Mouse
{
public:
    Mouse(QWidget *canvas, Analysis1DView *view)
        : m_viewport(static_cast<QAbstractScrollArea *>(canvas)->viewport()), m_view(view)
    { }

    QPoint toWidget(CPoint logical) const
    {
        m_view->Logical2Screen(logical, true);
        return QPoint(logical.x, logical.y);
    }
    void send(QEvent::Type type, CPoint logical, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPoint at = toWidget(logical);
        QMouseEvent event(type, QPointF(at), QPointF(m_viewport->mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(m_viewport, &event);
    }
    void drag(CPoint from, CPoint to)
    {
        send(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step) {
            const CPoint p(from.x + (to.x - from.x) * step / 4,
                           from.y + (to.y - from.y) * step / 4);
            send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        }
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    void click(CPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, at, button, button);
        send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }

private:
    QWidget *m_viewport;
    Analysis1DView *m_view;
};

// The analysis of the sample gel as a user sets it up: every wizard page and
// the detection dialog, then the result dialogs, each pictured over the window.
bool shootAnalysis(CMainFrame *frame, const QDir &dir)
{
    bool ok = true;
    Analysis1DView *view = frame->GetAnalysisView();
    Analysis1DDoc *doc = frame->GetDocument();
    Mouse mouse(frame->GetCentralView(), view);

    // The ribbon's analysis category.
    QTabWidget *ribbon = frame->GetRibbon();
    for (int i = 0; i < ribbon->count(); ++i) {
        if (ribbon->tabText(i) == QStringLiteral("1D Gel Analysis"))
            ribbon->setCurrentIndex(i);
    }
    ok = shoot(frame, dir, "07-ribbon-gel-analysis.png") && ok;

    frame->GetRegistry().run(Analysis1DCmd::Start);
    settle();
    auto *wizard = frame->findChild<AnalysisWizardDlg *>();
    if (!wizard) {
        std::fprintf(stderr, "the set-up wizard did not open\n");
        return false;
    }
    placeRight(frame, wizard);
    wizard->TonePage()->DarkerButton()->setChecked(true);
    ok = shootWithDialog(frame, wizard, dir, "08-wizard-0-tone.png") && ok;
    wizard->OnNext();
    mouse.drag(CPoint(30, 20), CPoint(770, 595));
    ok = shootWithDialog(frame, wizard, dir, "09-wizard-1-area.png") && ok;
    wizard->OnNext();
    mouse.drag(CPoint(140, 171), CPoint(210, 189));
    ok = shootWithDialog(frame, wizard, dir, "10-wizard-2-example-band.png") && ok;
    wizard->OnNext();
    // The wells and the dye front where the sample's lanes start and end.
    if (LoadingWells *wells = doc->GetLoadingWells()) {
        const CRect r = wells->m_position;
        mouse.drag(CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2),
                   CPoint((r.left + r.right) / 2, 40));
    }
    if (DyeFront *front = doc->GetDyeFront()) {
        const CRect r = front->m_position;
        mouse.drag(CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2),
                   CPoint((r.left + r.right) / 2, 585));
    }
    ok = shootWithDialog(frame, wizard, dir, "11-wizard-3-dye-front-wells.png") && ok;
    wizard->OnNext();
    settle();

    frame->GetRegistry().run(Analysis1DCmd::AutoDetect);
    settle();
    auto *detection = frame->findChild<DetectionDlg *>();
    if (!detection) {
        std::fprintf(stderr, "the detection dialog did not open\n");
        return false;
    }
    placeRight(frame, detection);
    // The End key takes the slider to "More Bands", as the sample gel needs.
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(detection->Slider(), &end);
    detection->OnDetect();
    ok = shootWithDialog(frame, detection, dir, "12-detection-after-detect.png") && ok;
    detection->accept();
    settle();
    Analysis1D *analysis = doc->GetAnalysis();
    if (!analysis || analysis->GetNumberOfLanes() < 2) {
        std::fprintf(stderr, "detection found no lanes\n");
        return false;
    }
    std::printf("detected %d lanes\n", analysis->GetNumberOfLanes());

    // A band's popup menu: right button on the second band of lane 2.
    if (analysis->GetNumberOfLanes() > 1 && analysis->GetLane(1).GetNumberOfBands() > 1) {
        const Band &band = analysis->GetLane(1).GetBand(1);
        CRect r = band.GetLogicalPosition();
        r.NormalizeRect();
        const CPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QMenu *popup = nullptr;
        QTimer::singleShot(300, [&] {
            popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!popup)
                return;
            QPixmap picture = frame->grab();
            {
                QPainter p(&picture);
                p.drawPixmap(frame->mapFromGlobal(popup->pos()), popup->grab());
            }
            ok = save(picture, dir, "13-band-popup-menu.png") && ok;
            popup->close();
        });
        mouse.click(centre);
        mouse.click(centre, Qt::RightButton);
        settle();
        if (!popup) {
            std::fprintf(stderr, "no popup menu on a band\n");
            ok = false;
        }
    }

    // The prompt window of a lane tool, then "Done".
    frame->GetRegistry().run(Analysis1DCmd::AddLane);
    settle();
    if (auto *prompt = frame->findChild<AddLaneBandDlg *>()) {
        ok = shootWithDialog(frame, prompt, dir, "19-add-lane-prompt.png") && ok;
        prompt->DoneButton()->click();
        settle();
    } else {
        std::fprintf(stderr, "no prompt window for Add Lane\n");
        ok = false;
    }

    // Calibration: the sample's ladder on lane 1 and known amounts on lane 3.
    CDoubleDataArray ladder;
    for (double w : {250.0, 150.0, 100.0, 75.0, 50.0, 37.0, 25.0, 20.0, 15.0, 10.0})
        ladder.Add(w);
    MWAssignments::ApplyLadder(*analysis->GetLanes(), 0, ladder);
    if (analysis->GetNumberOfLanes() > 2) {
        for (int b = 0; b < 3 && b < analysis->GetLane(2).GetNumberOfBands(); ++b)
            MWAssignments::AssignKnownValues(*analysis->GetLane(2).GetBand(b).getData(),
                                             10.0 * (b + 1), 0.0);
    }
    analysis->CalculateAnalysisData();
    {
        CalibrationPS sheet(frame, analysis, view);
        placeRight(frame, &sheet);
        ok = shootWithDialog(frame, &sheet, dir, "14-calibration-values.png") && ok;
        sheet.Pages()->setCurrentIndex(2);
        ok = shootWithDialog(frame, &sheet, dir, "15-calibration-mw-graph.png") && ok;
        sheet.hide();
    }
    {
        ApplicationOptionsPS options(frame, &doc->GetAnalysisOptions(), doc);
        placeRight(frame, &options);
        ok = shootWithDialog(frame, &options, dir, "16-options-sheet.png") && ok;
        options.hide();
    }

    frame->GetRegistry().run(AppCmd::AnalysisData);
    ok = shoot(frame, dir, "17-analysis-with-results.png") && ok;
    {
        AnalysisPrintOptionsDlg print(frame, !analysis->GetReportWnd().isNull(),
                                      !analysis->GetGraphWnd().isNull());
        placeRight(frame, &print);
        ok = shootWithDialog(frame, &print, dir, "18-print-options.png") && ok;
        print.hide();
    }
    frame->GetRegistry().run(AppCmd::AnalysisData);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // The offscreen platform's own screen (800 x 800) is smaller than the
    // window at QT_SCALE_FACTOR=2, and popups are kept on the screen: a menu
    // opened at the mouse would be pictured far from it. Its screen here is
    // large enough for the window at either scale.
    QTemporaryDir screenConfig;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        QByteArray chosen("offscreen");
        QFile config(screenConfig.filePath(QStringLiteral("screen.json")));
        if (screenConfig.isValid() && config.open(QIODevice::WriteOnly)
            && config.write(R"({"screens": [{"name": "screenshots", "x": 0, "y": 0,
                "width": 3840, "height": 2400, "logicalDpi": 96, "dpr": 1}]})")
                > 0) {
            config.close();
            chosen += ":configfile=" + QFile::encodeName(config.fileName());
        }
        qputenv("QT_QPA_PLATFORM", chosen);
    }
    CDensoraApp app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: DensoraScreenshots <output folder> <sample gel>\n");
        return 2;
    }
    QDir dir(args[1]);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args[1]));
        return 1;
    }
    // Never the user's settings, and every message on standard error.
    ProfileStore::install(std::make_unique<MemoryProfileStore>());
    Prompts::install(std::make_unique<ConsolePrompts>());

    CMainFrame *frame = app.CreateMainFrame();
    frame->resize(1280, 800);
    frame->show();
    bool ok = frame->NewDocument() && shoot(frame, dir, "01-empty-window.png");
    ok = shootEmptyDark(frame, dir) && ok;
    auto *fileButton
        = qobject_cast<QToolButton *>(frame->GetRibbon()->cornerWidget(Qt::TopLeftCorner));
    if (fileButton && fileButton->menu())
        ok = shootWithMenu(frame, fileButton->menu(),
                           fileButton->mapTo(frame, fileButton->rect().bottomLeft()), dir,
                           "02-file-menu.png")
            && ok;

    if (!frame->OpenDocumentFile(args[2])) {
        std::fprintf(stderr, "cannot open the sample gel %s\n", qPrintable(args[2]));
        return 1;
    }
    ok = shoot(frame, dir, "03-sample-gel.png") && ok;

    frame->GetRegistry().run(AppCmd::AnalysisData);
    ok = shoot(frame, dir, "04-analysis-pane.png") && ok;
    frame->GetRegistry().run(AppCmd::AnalysisData);

    ok = shootPrintPreview(frame, dir) && ok;
    ok = shootAnalysis(frame, dir) && ok;

    frame->GetRegistry().run(AppCmd::AppLookOffice2007Black);
    ok = shoot(frame, dir, "05-dark-look.png") && ok;
    frame->GetRegistry().run(AppCmd::AppLookWindows7);
    ok = shoot(frame, dir, "06-light-look.png") && ok;

    // Nothing is left to ask about when the window goes.
    frame->GetDocument()->SetModifiedFlag(false);
    app.DestroyMainFrame();
    return ok ? 0 : 1;
}
