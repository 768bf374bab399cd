// Saves the main window in its principal states as PNG files:
//   DensoraScreenshots <output folder> <sample gel>
// Runs under the offscreen platform with the real widgets; fails when a
// state cannot be reached or a picture cannot be written.

#include "app/CDensoraApp.h"
#include "app/CMainFrame.h"
#include "app/DensoraAppCommandIds.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "appbase/CDensoraView.h"
#include "appbase/DensoraCommandIds.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>

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
    const bool ok = shootModal(frame, DensoraCmd::FilePrintPreview, dir, "07-print-preview.png");
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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    auto *fileButton = qobject_cast<QToolButton *>(frame->GetRibbon()->cornerWidget(Qt::TopLeftCorner));
    if (fileButton && fileButton->menu())
        ok = shootWithMenu(frame, fileButton->menu(), fileButton->mapTo(frame, fileButton->rect().bottomLeft()), dir,
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

    frame->GetRegistry().run(AppCmd::AppLookOffice2007Black);
    ok = shoot(frame, dir, "05-dark-look.png") && ok;
    frame->GetRegistry().run(AppCmd::AppLookWindows7);
    ok = shoot(frame, dir, "06-light-look.png") && ok;

    // Nothing is left to ask about when the window goes.
    frame->GetDocument()->SetModifiedFlag(false);
    app.DestroyMainFrame();
    return ok ? 0 : 1;
}
