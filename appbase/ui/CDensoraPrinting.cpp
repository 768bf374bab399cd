#include "appbase/ui/CDensoraPrinting.h"

#include "appbase/CDensoraView.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace {
CDensoraPrinting::PagesOf &pagesOf()
{
    static CDensoraPrinting::PagesOf instance;
    return instance;
}

// The view's own pages, or the one page of its picture.
CDensoraPrinting::Pages pagesFor(CDensoraView *view)
{
    CDensoraPrinting::Pages pages;
    if (pagesOf() && pagesOf()(view, pages))
        return pages;
    pages.prepare = [] { return true; };
    pages.count = [] { return 1; };
    pages.print = [view](QPainter *painter, const CRect &rect, int) {
        view->PrintPage(painter, rect);
    };
    pages.end = [] {};
    return pages;
}

// Runs the view's preparation; the end step follows when this goes.
class PrintJob
{
public:
    explicit PrintJob(CDensoraView *view) : m_pages(pagesFor(view)) { }
    ~PrintJob()
    {
        if (m_prepared && m_pages.end)
            m_pages.end();
    }
    bool Prepare()
    {
        m_prepared = true;
        return !m_pages.prepare || m_pages.prepare();
    }

private:
    CDensoraPrinting::Pages m_pages;
    bool m_prepared = false;
};

const QString kPrintFailed = QStringLiteral("The page could not be printed.");

QString documentTitle(const CDensoraView *view)
{
    const CDrawDocument *doc = view->GetDocument();
    QString title = doc ? doc->GetTitle() : QString();
    const int cut = title.indexOf(QStringLiteral(" - ["));
    if (cut >= 0)
        title.truncate(cut);
    return title.trimmed();
}
} // namespace

void CDensoraPrinting::SetPagesOf(PagesOf of)
{
    pagesOf() = std::move(of);
}

void CDensoraPrinting::Install()
{
    CDensoraView::SetPrintHandler([](CDensoraView *view, CDensoraView::PrintKind kind) {
        QWidget *parent = QApplication::activeWindow();
        switch (kind) {
        case CDensoraView::PrintKind::Dialog:
            PrintWithDialog(view, parent);
            break;
        case CDensoraView::PrintKind::Direct:
            PrintDirect(view);
            break;
        case CDensoraView::PrintKind::Pdf:
            PrintToPdfAsking(view);
            break;
        case CDensoraView::PrintKind::Preview:
            PrintPreview(view, parent);
            break;
        }
    });
}

bool CDensoraPrinting::PrintTo(CDensoraView *view, QPrinter &printer)
{
    if (!view)
        return false;
    printer.setDocName(documentTitle(view));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the printable area's top left, in device pixels.
    QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    page.moveTo(0, 0);
    const Pages pages = pagesFor(view);
    const int count = pages.count ? pages.count() : 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        painter.save();
        pages.print(&painter, CRect::fromQRect(page), i);
        painter.restore();
    }
    return painter.end();
}

bool CDensoraPrinting::PrintToPdf(CDensoraView *view, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return PrintTo(view, printer);
}

bool CDensoraPrinting::PrintWithDialog(CDensoraView *view, QWidget *parent)
{
    if (!view)
        return false;
    PrintJob job(view);
    if (!job.Prepare())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    // The fit-to-page choice rides along with the printer choice.
    auto *options = new QWidget;
    options->setWindowTitle(QStringLiteral("Zoom"));
    auto *layout = new QVBoxLayout(options);
    auto *fit = new QCheckBox(QStringLiteral("Fit to page"), options);
    fit->setChecked(view->GetFitToPage());
    layout->addWidget(fit);
    layout->addStretch();
    dialog.setOptionTabs({options});
    if (dialog.exec() != QDialog::Accepted)
        return false;
    view->SetFitToPage(fit->isChecked());
    if (PrintTo(view, printer))
        return true;
    Prompts::instance().MessageBox(kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CDensoraPrinting::PrintDirect(CDensoraView *view)
{
    if (!view)
        return false;
    PrintJob job(view);
    if (!job.Prepare())
        return false;
    view->AskFitToPage();
    QPrinter printer(QPrinter::HighResolution);
    if (PrintTo(view, printer))
        return true;
    Prompts::instance().MessageBox(kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CDensoraPrinting::PrintToPdfAsking(CDensoraView *view)
{
    if (!view)
        return false;
    PrintJob job(view);
    if (!job.Prepare())
        return false;
    const QString title = documentTitle(view);
    QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Print to PDF"), QStringLiteral("PDF files (*.pdf)"),
        QFileInfo(title).completeBaseName() + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    view->AskFitToPage();
    if (PrintToPdf(view, path))
        return true;
    Prompts::instance().MessageBox(kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CDensoraPrinting::PrintPreview(CDensoraView *view, QWidget *parent)
{
    if (!view)
        return;
    PrintJob job(view);
    if (!job.Prepare())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [view](QPrinter *p) { PrintTo(view, *p); });
    // Big enough to judge the page, with its whole toolbar.
    const QSize room = parent ? parent->size() : QSize(1100, 800);
    dialog.resize(std::max(800, room.width() * 4 / 5), std::max(600, room.height() * 9 / 10));
    // The fit-to-page choice, seen at once on the page.
    auto *preview = dialog.findChild<QPrintPreviewWidget *>();
    if (auto *bar = dialog.findChild<QToolBar *>(); bar && preview) {
        auto *fit = new QAction(QIcon::fromTheme(QStringLiteral("zoom-fit-best")),
                                QStringLiteral("Fit to page"), &dialog);
        fit->setCheckable(true);
        fit->setChecked(view->GetFitToPage());
        bar->addSeparator();
        bar->addAction(fit);
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(fit)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QObject::connect(fit, &QAction::toggled, &dialog, [view, preview](bool on) {
            view->SetFitToPage(on);
            preview->updatePreview();
        });
    }
    dialog.exec();
}
