#pragma once

// The window half of printing the image view: the print dialog (with the
// "Fit to page" choice on its own tab), printing straight to the default
// printer, printing to a PDF file and the print preview. The page itself is
// drawn by the view (CDensoraView::PrintPage); every way prints one page.

#include <QString>

class CDensoraView;
class QPrinter;
class QWidget;

class CDensoraPrinting
{
public:
    // Installs these as the view's print commands (the canvas does it).
    static void Install();

    // Draws the view's page on a printer that is set up; false when the
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
