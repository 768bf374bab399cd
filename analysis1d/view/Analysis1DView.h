#pragma once

// The view of an analysis document: the gel with its overlay, the lanes and
// bands of the analysis drawn over it, and the analysis tools and commands
// that turn the user's clicks and drags into operations of the analysis
// (Analysis1D). Headless like the image view it extends: the canvas widget
// hosts it, tests drive it with plain mouse calls, and the dialogs it opens are
// reached through the seams below, which analysis1d/ui/ fills.
//
// It is also the analysis dialogs' view (AnalysisViewSeam): it attaches itself
// under its own pointer, so the wizard and the detection dialog make its tools
// current and repaint it.

#include "analysis1d/engine/AnalysisViewSeam.h"
#include "appbase/CDensoraView.h"

#include "platform/Geometry.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class Analysis1D;
class Analysis1DDoc;
class Band;
class CDoubleDataArray;
class Lane;

class Analysis1DView : public CDensoraView, public AnalysisViewSeam
{
    DECLARE_DYNAMIC(Analysis1DView)
public:
    // Tool types of the analysis tools (one numbering with the overlay's).
    enum : ToolType {
        toolAnalysisArea = 11,
        toolBackgroundArea = 12,
        toolExampleBand = 13,
        toolBandAdd = 14,
        toolBandDelete = 15,
        toolBandDraw = 16,
        toolBandEdit = 17,
        toolLaneAdd = 18,
        toolLaneDelete = 19,
        toolLaneDraw = 20,
        toolBandSelectOD = 21,
        toolBandSelectMW = 22,
    };

    explicit Analysis1DView(Analysis1DDoc *pDoc = nullptr);
    ~Analysis1DView() override;

    Analysis1DDoc *GetAnalysisDoc() const;
    // The document's analysis, or null.
    Analysis1D *GetAnalysis() const;

    // AnalysisViewSeam -----------------------------------------------------------
    // The host's window.
    QObject *DialogParent() const override;
    void DeselectAllAndRepaint() override;
    void StartTool(int toolType) override;

    // Tools ----------------------------------------------------------------------
    // Also tells the user what the tool wants (the host's status text) and, when
    // the selection tool comes back, closes the prompt dialog.
    void SetCurrentToolType(ToolType type) override;
    // The instruction shown while a tool is current; empty for the selection tool.
    static QString ToolStatusText(ToolType type);
    // The prompt of the prompt dialog for a lane or band tool (14-19); empty for
    // any other.
    static QString PromptText(ToolType type);

    // A new set of objects or lanes (detection, undo): the selection keeps
    // only what still exists, and the highlight what is still there.
    void OnUpdate(CDrawView *pSender, int nHint, CObject *pHint) override;

    // Mouse move: the base behaviour, and the lane and band under the mouse
    // highlighted.
    void OnMouseMove(unsigned nFlags, CPoint screenPoint) override;
    // Lane and band under the mouse (-1: none).
    int GetHotLane() const { return m_nHotLane; }
    int GetHotBand() const { return m_nHotBand; }
    // The lane and band at a logical (gel) point, -1 when none; band -1 also when
    // the point is on a lane but on none of its bands.
    void HitLaneAndBand(const CPoint &point, int &lane, int &band) const;
    // Whether a logical point lies inside the analysis area (false without one).
    bool IsInsideAnalysisArea(const CPoint &point) const;
    // Shows a cursor of the program's own (12092-12095) through the host.
    void SetResourceCursor(int resourceId);

    // Drawing: the picture and the objects, then every lane with its bands as
    // the options ask, the highlight of the lane and band under the mouse, and
    // the selection's trackers last.
    void OnDraw(QPainter *pDC) override;
    void DrawSelectedFeature(QPainter *pDC) override;

    // Commands (Analysis1DCommandIds.h) ----------------------------------------------
    // Every base command, and the analysis commands with their enabled checks.
    void RegisterCommands(CommandRegistry &registry) override;
    // "Start": the document starts an analysis (and its set-up wizard).
    void OnButtonAnalysisStart();
    bool CanStartAnalysis() const;
    // An analysis with its area exists and no wizard runs: the lane and band
    // commands may run.
    bool CanEditLanesAndBands() const;

    // Set-up steps (the wizard's tools, also run from menus).
    // Removes the analysis area, example band and dye front, then tool 11.
    void OnActionAnalysisArea();
    // Removes the background area, then tool 12.
    void OnButtonAnalysisBackground();
    // Removes the example band, then tool 13.
    void OnActionDrawExampleBand();
    // New dye front and loading wells at their default rows; the selection tool.
    void OnActionSetDyeFrontAndWells();

    // Lanes and bands.
    void OnButtonDetect();
    void OnButtonAnalysisDrawBand();
    void OnButtonAnalysisAddLane();
    void OnButtonAnalysisDelLane();
    void OnButtonAnalysisAddBand();
    void OnButtonAnalysisDelBand();
    void OnButtonAnalysisEditBand();
    void OnButtonAnalysisDrawLane();
    // Closes an open prompt dialog, opens a new one with the tool's prompt and
    // makes the tool current.
    void OnEditLanesBands(ToolType type);

    // Calibration.
    // "View Calibration Values": the calibration sheet, with at least one lane.
    void OnButtonAssignAnalysisAmount();
    // The known-value dialog of the selected band; recalculates after OK.
    void OnButtonAnalysisAssignKnownAmounts();
    // The selected lane needs at least 2 bands; the ladder dialog; then
    // AssignLadderToSelectedLane.
    void OnPopUpMenuAnalysisAssignLadder();
    // Known weights cleared in every lane, then the selected lane's bands take
    // the ladder's weights in order, as one undo step. False (nothing changed)
    // when no lane with at least 2 bands is selected; the user is told.
    bool AssignLadderToSelectedLane(const CDoubleDataArray &weights);

    // Popup menus.
    // The selected band, through the delete-band tool at its location.
    void OnPopUpMenuAnalysisDelBand();
    // The selected lane.
    void OnPopUpMenuAnalysisDelLane();
    // The selected object's properties (lane and band information lists).
    void OnPopUpMenuProperties();

    // Selection.
    // The selected band (the first selected object when it is a band of a lane)
    // with its lane's and its own index; null when none.
    Band *getSelectedBand(int *pLane = nullptr, int *pBand = nullptr) const;
    // The selected lane, or the lane of the selected band; null when none.
    Lane *getSelectedLane(int *pLane = nullptr) const;
    // Index of a lane of the analysis (by address), -1 when it is none.
    int LaneIndexOf(const CDrawObject *pObj) const;
    // Index of a band: its lane and itself, false when it is none.
    bool BandIndexOf(const CDrawObject *pObj, int &lane, int &band) const;
    using CDensoraView::SelectObject;

    // Editing: Delete removes the selected lanes and bands from the analysis and
    // the selected overlay objects from the document, as one undo step. Cut
    // copies the selection first.
    void OnEditDelete();
    void OnEditCut();
    bool CanDeleteAnalysisSelection() const;

    // The picture with every overlay object, lane and band drawn into it, at
    // full size.
    QImage RenderWithOverlay();
    // Asks for a JPEG file name and writes RenderWithOverlay through the image
    // library. "There aren't any overlay objects to save!" without any. True
    // when a file was written.
    bool OnSaveImageWithBurntOverlay();
    // Asks for a PDF file and writes the analysis report into it; false when
    // the user cancelled or the file could not be written (said to the user).
    bool OnFileAnalysisReport();

    // Printing ------------------------------------------------------------------------
    // Which parts OnPrint prints.
    struct PrintParts
    {
        bool image = false;
        bool report = false;
        bool graph = false;
    };
    // Without an analysis: the image only. With one: the print options dialog;
    // false when the user cancelled (the print command ends).
    bool OnPreparePrinting();
    const PrintParts &GetPrintParts() const { return m_printParts; }
    void SetPrintParts(const PrintParts &parts) { m_printParts = parts; }
    // One page per checked part: the image (CDensoraView::PrintPage), the report
    // and the graph (through the result printer). Returns the number of pages.
    int PageCount() const;
    // Prints page `page` (0-based) of the checked parts.
    void OnPrint(QPainter *pDC, const CRect &pageRect, int page);
    void OnEndPrinting();
    // Whether the report and the graph can be printed now (their windows exist).
    bool CanPrintReport() const;
    bool CanPrintGraph() const;

    // The prompt dialog ------------------------------------------------------------------
    bool IsPromptOpen() const { return m_bPromptOpen; }
    QString GetPromptText() const { return m_strPrompt; }
    // "Done": closes the prompt and returns to the selection tool.
    void OnPromptDone();

    // Seams the window layer fills ------------------------------------------------------------
    // The modeless prompt dialog (12096): shows a prompt (control 12097) and a
    // "Done" button. The view owns the object: it calls Close, then destroys
    // it (a widget behind it is best let go with deleteLater, as Done may be
    // pressed inside its own click handler).
    class PromptDialog
    {
    public:
        virtual ~PromptDialog() = default;
        virtual void Show(const QString &prompt) = 0;
        virtual void Close() = 0;
    };
    // Makes the dialog over a parent window; `done` is what its "Done" button
    // calls. Without a factory the view keeps the prompt headless (tests).
    using PromptDialogFactory
        = std::function<std::unique_ptr<PromptDialog>(QObject *parent, std::function<void()> done)>;
    static void SetPromptDialogFactory(PromptDialogFactory factory);

    // "Analysis Print Options" (12103): three boxes, all unchecked at first,
    // "Print Report" enabled only with reportEnabled and "Print Graph" only
    // with graphEnabled. False for Cancel; true with the checked parts.
    using PrintOptionsDialog = std::function<bool(QObject *parent, bool reportEnabled,
                                                  bool graphEnabled, PrintParts &parts)>;
    static void SetPrintOptionsDialog(PrintOptionsDialog dialog);
    // Prints the report or the graph of the analysis on a page (the result
    // windows know how). Without one those pages stay empty.
    enum class ResultPart { Report, Graph };
    using ResultPrinter = std::function<void(Analysis1D &analysis, ResultPart part, QPainter *pDC,
                                             const CRect &pageRect)>;
    static void SetResultPrinter(ResultPrinter printer);

protected:
    // The base view's tools and the analysis tools 11-22.
    void CreateTools() override;
    // The lanes and bands on the printed page.
    void DrawExtras(QPainter *pDC) override;

public:
    // Outline colour of a band with clipped pixels.
    static inline const QColor kSaturatedColor {255, 0, 255};
    // The tooltip of a saturated band (empty for any other).
    QString SaturationText(int lane, int band) const;

private:
    void DrawLanesAndBands(QPainter *pDC);
    void DrawHighlight(QPainter *pDC);
    // Every command begins here: deselects all objects of the view.
    void beginCommand();
    // Taking shapes away outside the wizard is an undo step of its own.
    void recordRemoval(const QString &caption, bool anything);
    // Copy of the selected document objects (never lanes and bands).
    void copyDocumentObjects();
    // Highlight bookkeeping.
    void setHot(int lane, int band);
    void closePrompt();

    int m_nHotLane = -1;
    int m_nHotBand = -1;
    bool m_bPromptOpen = false;
    QString m_strPrompt;
    std::unique_ptr<PromptDialog> m_pPrompt;
    PrintParts m_printParts;
};
