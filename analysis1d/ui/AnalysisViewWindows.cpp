#include "analysis1d/ui/AnalysisViewWindows.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/ui/AnalysisCursors.h"
#include "analysis1d/ui/GraphWnd1D.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"
#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/ui/CDensoraCanvas.h"
#include "appbase/ui/CDensoraPrinting.h"

#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

// The prompt window over the top right of the program's window, out of the
// way of the gel.
class PromptWindow : public Analysis1DView::PromptDialog
{
public:
    PromptWindow(QWidget *parent, std::function<void()> done) : m_dialog(new AddLaneBandDlg(parent))
    {
        m_dialog->SetOnDone(std::move(done));
    }
    ~PromptWindow() override { Close(); }

    void Show(const QString &prompt) override
    {
        if (!m_dialog)
            return;
        m_dialog->SetPrompt(prompt);
        m_dialog->adjustSize();
        if (QWidget *owner = m_dialog->parentWidget()) {
            const QRect frame = owner->window()->geometry();
            m_dialog->move(frame.right() - m_dialog->width() - 40, frame.top() + 160);
        }
        m_dialog->show();
    }
    void Close() override
    {
        if (!m_dialog)
            return;
        // "Done" may be what closes it, inside its own click handler.
        m_dialog->SetOnDone({});
        m_dialog->hide();
        m_dialog->deleteLater();
        m_dialog.clear();
    }

private:
    QPointer<AddLaneBandDlg> m_dialog;
};

QWidget *widgetOf(QObject *parent)
{
    return qobject_cast<QWidget *>(parent);
}

} // namespace

void AnalysisViewWindows::Install()
{
    Analysis1DView::SetPromptDialogFactory(
        [](QObject *parent, std::function<void()> done) -> std::unique_ptr<Analysis1DView::PromptDialog> {
            return std::make_unique<PromptWindow>(widgetOf(parent), std::move(done));
        });

    Analysis1DView::SetPrintOptionsDialog([](QObject *parent, bool reportEnabled, bool graphEnabled,
                                             Analysis1DView::PrintParts &parts) {
        AnalysisPrintOptionsDlg dialog(widgetOf(parent), reportEnabled, graphEnabled);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        parts.image = dialog.PrintImage();
        parts.report = dialog.PrintReport();
        parts.graph = dialog.PrintGraph();
        return true;
    });

    Analysis1DView::SetResultPrinter([](Analysis1D &analysis, Analysis1DView::ResultPart part,
                                        QPainter *painter, const CRect &pageRect) {
        if (part == Analysis1DView::ResultPart::Report) {
            if (ReportWnd1D *report = analysis.GetReportWnd().data())
                report->Print(painter, pageRect.toQRect());
        } else if (GraphWnd1D *graph = analysis.GetGraphWnd().data()) {
            // The graph keeps the proportions of a landscape page at the top.
            QRect area = pageRect.toQRect();
            area.setHeight(std::min(area.height(), area.width() * 3 / 4));
            graph->Print(painter, area);
        }
    });

    CDensoraPrinting::SetPagesOf([](CDensoraView *view, CDensoraPrinting::Pages &pages) {
        auto *analysisView = dynamic_cast<Analysis1DView *>(view);
        if (!analysisView)
            return false;
        pages.prepare = [analysisView] { return analysisView->OnPreparePrinting(); };
        // Printed without the options asked first: the picture with its lanes.
        pages.count = [analysisView] {
            if (analysisView->PageCount() == 0) {
                Analysis1DView::PrintParts parts;
                parts.image = true;
                analysisView->SetPrintParts(parts);
            }
            return analysisView->PageCount();
        };
        pages.print = [analysisView](QPainter *painter, const CRect &rect, int page) {
            analysisView->OnPrint(painter, rect, page);
        };
        pages.end = [analysisView] { analysisView->OnEndPrinting(); };
        return true;
    });

    CDensoraCanvas::SetCursorProvider([](int resourceId) { return AnalysisCursors::Cursor(resourceId); });
}
