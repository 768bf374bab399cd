#pragma once

// The program's image view: a headless drawing view over a CDensoraDoc with
// the zoom, the scroll sizes, the pixel read-out, the editing, overlay and
// image commands, and the page drawing of printing. It knows its window only
// through CViewHost (the canvas widget, or a plain object in tests), so every
// command runs and is tested without a widget. Dialogs are reached through
// seams the window layer installs.
//
// Coordinates: "screen" points are the host window's pixels with the scroll
// applied (as in the drawing view); logical points are image pixels.

#include "appbase/ImageProcessingMethod.h"

#include "contracts/overlay/CDrawView.h"

#include "platform/Geometry.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>

class CDensoraDoc;
class CDrawImage;
class CViewHost;
class CommandRegistry;
class QMimeData;
class QPainter;
class QRect;

class CDensoraView : public CDrawView
{
    DECLARE_DYNAMIC(CDensoraView)
public:
    // The clipboard format of copied objects (the archive bytes of the list).
    static const QString c_strObjectsMimeType;
    // Zoom limits of the zoom commands and the wheel (100 % = 1).
    static constexpr float c_fMinZoom = 0.05f;
    static constexpr float c_fMaxZoom = 10.0f;
    // Factor of one zoom-in or zoom-out step (one wheel notch).
    static constexpr float c_fZoomStep = 1.25f;
    // Offset of pasted objects, so repeated pastes cascade.
    static constexpr int c_nPasteOffset = 10;

    explicit CDensoraView(CDensoraDoc *pDoc = nullptr);
    ~CDensoraView() override;

    CDensoraDoc *GetDensoraDoc() const;
    // The window; null leaves the view without one (scroll 0, nothing shown).
    void SetHost(CViewHost *pHost);
    CViewHost *GetHost() const { return m_pHost; }

    // Zoom and scrolling -------------------------------------------------------
    float GetZoomFactor() const override;
    // When different: stores the zoom, puts it into the document title, sets
    // the scroll sizes and repaints.
    void SetZoomFactor(float z);
    // Scroll sizes: the document rectangle's width and height times the zoom.
    void SetViewSize();
    CSize GetScrollSizes() const { return m_scrollSizes; }
    // The zoom at which the whole document fits the window; the frame's zoom
    // slider follows.
    void ZoomToView();
    // Zooms to z (held within the limits) keeping the logical point under the
    // screen point where it is: the wheel and the zoom steps.
    void ZoomAbout(float z, CPoint windowPoint);
    void ZoomIn();
    void ZoomOut();

    CPoint GetScrollPosition() const override;
    void InvalidateScreenRect(const CRect &rect) override;
    void InvalidateView() override;
    void SetViewCursor(Qt::CursorShape shape) override;
    void OnUpdate(CDrawView *pSender, int nHint, CObject *pHint) override;

    // Tools --------------------------------------------------------------------
    void SetToDefaultTool();

    // Mouse move: the base dispatch to the tool, and the picture's pixel value
    // under the mouse in the frame's status bar.
    virtual void OnMouseMove(unsigned nFlags, CPoint screenPoint);

    // Drawing --------------------------------------------------------------------
    // Fills the clip box white, draws every object in list order and the
    // selection's trackers.
    void OnDraw(QPainter *pDC) override;
    // What the canvas does on a paint event: the exposed part (window pixels)
    // clipped, the scroll translated, then OnDraw.
    void PaintVisible(QPainter *pDC, const QRect &exposed);
    // While a crop or copy rectangle is dragged: that rectangle, dashed.
    void DrawDragRect(QPainter *pDC);

    // Editing commands -------------------------------------------------------------
    // The selection as archive bytes and as a picture on the clipboard.
    void OnEditCopy();
    // The selection as a picture only; messages when nothing is selected or the
    // clipboard cannot be used.
    void OnEditCopyAsPicture();
    // Pastes copied objects 10 pixels down and right of where they were copied
    // from, selects them and copies them again, so the next paste cascades.
    void OnEditPaste();
    bool CanPaste() const;
    void OnEditUndo();
    void OnEditRedo();
    // Deletes the selected overlay objects (never the picture) as one undo step.
    void OnEditClear();
    bool CanDeleteSelection() const;
    // The selected objects, document order, at zoom 1 on white over the
    // document rectangle.
    QImage RenderSelection();
    // The mime data Copy offers (exposed for the canvas' drag support and tests).
    QMimeData *CreateSelectionMimeData();
    // Reads copied objects from mime data into a new list the caller owns;
    // empty when the data hold none or cannot be read.
    CDrawObjList ReadObjects(const QMimeData *pData) const;

    // Overlay commands --------------------------------------------------------------
    void OnOverlayAlignLeft();
    void OnOverlayAlignRight();
    void OnOverlayAlignTop();
    void OnOverlayAlignBottom();
    void OnOverlayFillColor();
    void OnOverlayNoFill();
    void OnOverlayLineColor();
    void OnOverlayNoLine();
    // Weight from the ribbon's line-weight gallery.
    void OnOverlayLineWeight();
    // Weight from the line-weight dialog.
    void OnOverlayLineWeightDialog();

    // Image commands ------------------------------------------------------------------
    // Runs one method on the single selected object or else the picture, with
    // or without its dialog, as one undo step kept only when the picture changed.
    void DoIPMethod(enImageProcessingMethod method, bool showDialog);
    // Saturation palette on and off.
    void OnImageShowSaturation();
    // Crop tool (9) on and off (back to the selection tool).
    void OnImageCrop();
    // The copy-rectangle tool (10).
    void OnImageCopyRectangle();
    void OnImageInfo();
    // The picture's processing history (the history page).
    void OnImageHistory();

    // Printing, headless half -----------------------------------------------------------
    bool GetFitToPage() const { return m_bFitToPage; }
    void SetFitToPage(bool bFit) { m_bFitToPage = bFit; }
    // The "Fit to page" Yes/No question; Yes sets the flag, No clears it.
    bool AskFitToPage();
    // Device pixels per image pixel on a printable area of that size: the fit
    // when the flag is set, else 1.
    float GetPrintZoomFactor(CSize printable) const;
    // "<title before ' - ['> -- mm/dd/yy -- hh:mm:ss".
    QString GetPrintHeader(const QDateTime &when) const;
    // One page in the painter's device pixels: the header at (0, 25) from the
    // page's top left, a line across at text height + 35, the objects below it.
    void PrintPage(QPainter *pDC, const CRect &pageRect,
                   const QDateTime &when = QDateTime::currentDateTime());

    // Commands -------------------------------------------------------------------------
    // Every view command as an action with its enabled (and checked) state.
    virtual void RegisterCommands(CommandRegistry &registry);

    // Seams the window layer fills ---------------------------------------------------------
    // The adjustment sheet for a target and a method, run modally: true for OK,
    // false for Cancel (the view then restores the target). Without one the
    // dialog commands change nothing.
    using IPDialog = std::function<bool(CDrawImage *target, enImageProcessingMethod method)>;
    static void SetIPDialog(IPDialog dialog);
    // The line-weight dialog pre-set with a weight (0 = none chosen); the chosen
    // weight, or a negative value when cancelled.
    using LineWeightDialog = std::function<int(int current)>;
    static void SetLineWeightDialog(LineWeightDialog dialog);
    // The print commands' window half (print dialog, direct, PDF, preview).
    enum class PrintKind { Dialog, Direct, Pdf, Preview };
    using PrintHandler = std::function<void(CDensoraView *view, PrintKind kind)>;
    static void SetPrintHandler(PrintHandler handler);

protected:
    // The tools of the view: selection, the rectangle family, polygon, label
    // and text, and the picture tools (pick, crop, copy rectangle).
    virtual void CreateTools();
    // What a derived view draws over the document's objects on a printed
    // page (the analysis view's lanes and bands); nothing here.
    virtual void DrawExtras(QPainter *pDC) { Q_UNUSED(pDC); }

private:
    // The tools written beside this view are added here when they join the
    // build: CPolyTool, CLabelTool, CTextTool (contracts/overlay/) and the
    // image tools CImageTool, CCropImageTool (type 9), CCopyImageRectTool
    // (type 10) (imaging/).

    enum class AlignSide { Left, Right, Top, Bottom };
    void Align(AlignSide side, const QString &caption);
    // Applies a change to every selected object that allows it, as one undo step.
    void ChangeSelected(const QString &caption, bool (CDrawObject::*allowed)() const,
                        const std::function<void(CDrawObject *)> &change);
    bool PutOnClipboard(QMimeData *pData);

    // While printing or rendering a copy, the objects see this zoom and no
    // scroll; the view's own zoom and window are left alone.
    class RenderScope;
    friend class RenderScope;
    bool m_bRendering = false;
    float m_fRenderZoom = 1.0f;

    CViewHost *m_pHost = nullptr; // not owned
    float m_fZoom = 1.0f;
    CSize m_scrollSizes;
    bool m_bFitToPage = false;
};
