#pragma once

// The window half of printing the image view: the print dialog (with the
// "Fit to page" choice on its own tab), printing straight to the default
// printer, printing to a PDF file and the print preview. The page itself is
// drawn by the view (CDensoraView::PrintPage): one page, unless a view that
// prints more (the analysis view: picture, report, graph) gives its pages.

#include "platform/Geometry.h"

#include <QString>

#include <functional>

class CDensoraView;
class QPainter;
class QPrinter;
class QWidget;

class CDensoraPrinting
{
public:
    // Installs these as the view's print commands (the canvas does it).
    static void Install();

    // The pages of a view that prints more than its picture. `prepare` runs
    // before any printer is chosen (false ends the print command), `count`
    // gives the number of pages, `print` draws one (0-based) and `end` runs
    // after the job, printed or not.
    struct Pages
    {
        std::function<bool()> prepare;
        std::function<int()> count;
        std::function<void(QPainter *painter, const CRect &pageRect, int page)> print;
        std::function<void()> end;
    };
    // Fills `pages` for a view that has its own; false for a plain image view.
    using PagesOf = std::function<bool(CDensoraView *view, Pages &pages)>;
    static void SetPagesOf(PagesOf pagesOf);

    // Draws the view's pages on a printer that is set up; false when the
    // printer cannot be started.
    static bool PrintTo(CDensoraView *view, QPrinter &printer);
    // One page into a PDF file at the view's current fit-to-page choice.
    static bool PrintToPdf(CDensoraView *view, const QString &path);

    // The print dialog; its "Fit to page" box sets the view's flag.
    static bool PrintWithDialog(CDensoraView *view, QWidget *parent);
    // The default printer after the "Fit to page" question.
    static bool PrintDirect(CDensoraView *view);
    // Asks for the file and the fit, then prints to PDF.
    static bool PrintToPdfAsking(CDensoraView *view);
    // The preview, with the "Fit to page" choice in its toolbar.
    static void PrintPreview(CDensoraView *view, QWidget *parent);
};
