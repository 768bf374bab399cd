#include "appbase/CDensoraView.h"

#include "appbase/CDensoraDoc.h"
#include "appbase/CViewHost.h"
#include "appbase/CommandRegistry.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/FrameServices.h"
#include "appbase/UndoStep.h"

#include "imaging/CCopyImageRectTool.h"
#include "imaging/CCropImageTool.h"
#include "imaging/CImageRectDragTool.h"
#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CLabelTool.h"
#include "contracts/overlay/CPolyTool.h"
#include "contracts/overlay/CRectTool.h"
#include "contracts/overlay/CSelectTool.h"
#include "contracts/overlay/CTextTool.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

IMPLEMENT_DYNAMIC(CDensoraView, CDrawView)

const QString CDensoraView::c_strObjectsMimeType = QStringLiteral("application/x-densora-objects");

namespace {
// Tool types of the image tools (crop, copy rectangle), shared with imaging/.
constexpr ToolType kCropToolType = 9;
constexpr ToolType kCopyRectToolType = 10;

const QString kPasteCaption = QStringLiteral("CDensoraView::OnEditPaste");
const QString kClearCaption = QStringLiteral("CDensoraView::OnEditClear");

CDensoraView::IPDialog &ipDialog()
{
    static CDensoraView::IPDialog dialog;
    return dialog;
}

CDensoraView::LineWeightDialog &lineWeightDialog()
{
    static CDensoraView::LineWeightDialog dialog;
    return dialog;
}

CDensoraView::PrintHandler &printHandler()
{
    static CDensoraView::PrintHandler handler;
    return handler;
}

// The clipboard when a GUI application runs (the batch tool has none).
QClipboard *clipboard()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

CRect normalized(CRect rect)
{
    rect.NormalizeRect();
    return rect;
}

} // namespace

// While it lives the objects draw at the given zoom without scrolling, and
// nothing reaches the window.
class CDensoraView::RenderScope
{
public:
    RenderScope(CDensoraView *view, float zoom)
        : m_view(view), m_wasRendering(view->m_bRendering), m_previousZoom(view->m_fRenderZoom)
    {
        m_view->m_bRendering = true;
        m_view->m_fRenderZoom = zoom > 0.0f ? zoom : 1.0f;
    }
    ~RenderScope()
    {
        m_view->m_bRendering = m_wasRendering;
        m_view->m_fRenderZoom = m_previousZoom;
    }
    RenderScope(const RenderScope &) = delete;
    RenderScope &operator=(const RenderScope &) = delete;

private:
    CDensoraView *m_view;
    bool m_wasRendering;
    float m_previousZoom;
};

CDensoraView::CDensoraView(CDensoraDoc *pDoc)
{
    SetDocument(pDoc);
    CreateTools();
}

CDensoraView::~CDensoraView()
{
    if (m_pHost)
        m_pHost->ViewDestroyed();
}

CDensoraDoc *CDensoraView::GetDensoraDoc() const
{
    return dynamic_cast<CDensoraDoc *>(m_pDocument);
}

void CDensoraView::SetHost(CViewHost *pHost)
{
    m_pHost = pHost;
    SetViewSize();
    InvalidateView();
}

// --- zoom and scrolling ---------------------------------------------------------

float CDensoraView::GetZoomFactor() const
{
    return m_bRendering ? m_fRenderZoom : m_fZoom;
}

void CDensoraView::SetZoomFactor(float z)
{
    if (!(z > 0.0f) || !std::isfinite(z) || z == m_fZoom)
        return;
    m_fZoom = z;
    if (CDensoraDoc *doc = GetDensoraDoc())
        doc->SetTitleWithZoom(z);
    SetViewSize();
    InvalidateView();
}

void CDensoraView::SetViewSize()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    const CRect docRect = doc ? doc->GetDocRect() : CRect(0, 0, 1, 1);
    // Float to int truncates, as the scroll sizes always did.
    m_scrollSizes
        = CSize(int(float(docRect.Width()) * m_fZoom), int(float(docRect.Height()) * m_fZoom));
    if (m_pHost)
        m_pHost->SetScrollSizes(m_scrollSizes, CSize(), CSize());
}

void CDensoraView::ZoomToView()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (!doc || !m_pHost)
        return;
    const CSize client = m_pHost->GetViewportSize();
    const CRect docRect = doc->GetDocRect();
    if (client.cx <= 0 || client.cy <= 0 || docRect.Width() <= 0 || docRect.Height() <= 0)
        return; // a hidden window has no size to fit
    const float z = std::min(float(client.cy) / float(docRect.Height()),
                             float(client.cx) / float(docRect.Width()));
    SetZoomFactor(z);
    if (FrameServices *frame = FrameServices::instance())
        frame->SetZoomSlider(m_fZoom);
}

void CDensoraView::ZoomAbout(float z, CPoint windowPoint)
{
    z = std::clamp(z, c_fMinZoom, c_fMaxZoom);
    if (z == m_fZoom || !std::isfinite(z))
        return;
    // The logical point under the cursor, unrounded, stays under it.
    const CPoint scroll = GetScrollPosition();
    const float old = m_fZoom;
    const float lx = float(windowPoint.x + scroll.x) / old;
    const float ly = float(windowPoint.y + scroll.y) / old;
    SetZoomFactor(z);
    if (m_pHost)
        m_pHost->SetScrollPosition(CPoint(int(std::lround(lx * z)) - windowPoint.x,
                                          int(std::lround(ly * z)) - windowPoint.y));
    if (FrameServices *frame = FrameServices::instance())
        frame->SetZoomSlider(m_fZoom);
}

void CDensoraView::ZoomIn()
{
    const CSize client = m_pHost ? m_pHost->GetViewportSize() : CSize();
    ZoomAbout(m_fZoom * c_fZoomStep, CPoint(client.cx / 2, client.cy / 2));
}

void CDensoraView::ZoomOut()
{
    const CSize client = m_pHost ? m_pHost->GetViewportSize() : CSize();
    ZoomAbout(m_fZoom / c_fZoomStep, CPoint(client.cx / 2, client.cy / 2));
}

CPoint CDensoraView::GetScrollPosition() const
{
    if (m_bRendering || !m_pHost)
        return CPoint();
    return m_pHost->GetScrollPosition();
}

void CDensoraView::InvalidateScreenRect(const CRect &rect)
{
    if (!m_bRendering && m_pHost)
        m_pHost->InvalidateRect(rect);
}

void CDensoraView::InvalidateView()
{
    if (!m_bRendering && m_pHost)
        m_pHost->InvalidateAll();
}

void CDensoraView::SetViewCursor(Qt::CursorShape shape)
{
    if (m_pHost)
        m_pHost->SetCursor(shape);
}

void CDensoraView::OnUpdate(CDrawView *pSender, int nHint, CObject *pHint)
{
    // A new set of objects (open, undo, image processing) or an object added
    // or changed may give the document a new size.
    if (nHint == HintUpdateAll || nHint == HintUpdateObject)
        SetViewSize();
    CDrawView::OnUpdate(pSender, nHint, pHint);
}

// --- tools -------------------------------------------------------------------------

void CDensoraView::CreateTools()
{
    auto select = std::make_unique<CSelectTool>(toolSelect);
    CSelectTool *pSelect = select.get();
    AddTool(std::move(select));
    AddTool(std::make_unique<CRectTool>(toolRect));
    AddTool(std::make_unique<CRectTool>(toolRoundRect));
    AddTool(std::make_unique<CRectTool>(toolEllipse));
    AddTool(std::make_unique<CRectTool>(toolLine));
    AddTool(std::make_unique<CPolyTool>(toolPoly));
    AddTool(std::make_unique<CLabelTool>(toolLabel));
    AddTool(std::make_unique<CTextTool>(toolText));
    // The picture tools forward to the selection tool the view owns.
    AddTool(std::make_unique<CImageTool>(pSelect));
    AddTool(std::make_unique<CCropImageTool>(pSelect));
    AddTool(std::make_unique<CCopyImageRectTool>(pSelect));
}

void CDensoraView::SetToDefaultTool()
{
    SetCurrentToolType(toolSelect);
}

void CDensoraView::OnMouseMove(unsigned nFlags, CPoint screenPoint)
{
    CDrawView::OnMouseMove(nFlags, screenPoint);

    FrameServices *frame = FrameServices::instance();
    const CDensoraDoc *doc = GetDensoraDoc();
    CDrawImage *image = doc ? doc->GetDrawImage() : nullptr;
    if (!frame || !image)
        return;
    // The pixel under the mouse is the one whose square holds it: truncated,
    // not rounded (rounding would name the next pixel over half of each one
    // once the picture is zoomed in).
    const CPoint scroll = GetScrollPosition();
    const float zoom = GetZoomFactor();
    const CPoint logical(int(std::floor(float(screenPoint.x + scroll.x) / zoom)),
                         int(std::floor(float(screenPoint.y + scroll.y) / zoom)));
    const CRect position = normalized(image->GetPosition());
    if (!position.PtInRect(logical))
        return;
    const CPoint pixel(logical.x - position.left, logical.y - position.top);
    QString text;
    if (image->GetImage()->GetFormatedPixelString(&pixel, &text))
        frame->DisplayStatusBarText(text);
}

// --- drawing ---------------------------------------------------------------------------

void CDensoraView::OnDraw(QPainter *pDC)
{
    if (!pDC)
        return;
    const QRectF box = pDC->hasClipping()
        ? pDC->clipBoundingRect()
        : pDC->worldTransform().inverted().mapRect(QRectF(pDC->viewport()));
    pDC->fillRect(box, Qt::white);
    CDrawView::OnDraw(pDC);
    DrawDragRect(pDC);
}

void CDensoraView::DrawDragRect(QPainter *pDC)
{
    // The rectangle a crop or copy is being dragged over: dashed black on
    // white, visible on dark and light parts of a gel alike.
    const auto *tool = dynamic_cast<const CImageRectDragTool *>(GetCurrentTool());
    if (!tool || !tool->IsDragging() || m_bRendering)
        return;
    CRect r = tool->GetDragRect();
    Logical2Screen(r, false);
    const QRect area(r.left, r.top, r.Width(), r.Height());
    pDC->save();
    pDC->setBrush(Qt::NoBrush);
    pDC->setPen(QPen(Qt::white, 1));
    pDC->drawRect(area);
    pDC->setPen(QPen(Qt::black, 1, Qt::DashLine));
    pDC->drawRect(area);
    pDC->restore();
}

void CDensoraView::PaintVisible(QPainter *pDC, const QRect &exposed)
{
    if (!pDC)
        return;
    pDC->save();
    // The clip tells the objects (the picture above all) what is exposed, so
    // only that part is drawn.
    pDC->setClipRect(exposed);
    const CPoint scroll = GetScrollPosition();
    pDC->translate(-scroll.x, -scroll.y);
    OnDraw(pDC);
    pDC->restore();
}

// --- editing ------------------------------------------------------------------------------

bool CDensoraView::PutOnClipboard(QMimeData *pData)
{
    std::unique_ptr<QMimeData> data(pData);
    QClipboard *board = clipboard();
    if (!board) {
        Prompts::instance().MessageBox(QStringLiteral("Cannot open the Clipboard"),
                                       MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // The clipboard takes the data over; setting it replaces (empties) what
    // was there, which cannot fail here.
    board->setMimeData(data.release());
    return true;
}

QImage CDensoraView::RenderSelection()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (!doc)
        return {};
    const CRect docRect = doc->GetDocRect();
    QImage image(docRect.Width(), docRect.Height(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-docRect.left, -docRect.top);
    RenderScope scope(this, 1.0f);
    // Document order, so the picture shows the objects stacked as on screen.
    // The objects themselves draw: a clone would first rebuild the picture's
    // display, for the same pixels.
    for (CDrawObject *obj : std::as_const(doc->GetObjects())) {
        if (IsObjectSelected(obj))
            obj->Draw(&painter, this);
    }
    painter.end();
    return image;
}

QMimeData *CDensoraView::CreateSelectionMimeData()
{
    QByteArray bytes;
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar.m_pDocument = m_pDocument;
        CDrawDocument::StoreObjectList(ar, m_selection);
        ar.Close();
    } catch (const CException &) {
        return nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(c_strObjectsMimeType, bytes);
    const QImage picture = RenderSelection();
    if (!picture.isNull())
        data->setImageData(picture);
    return data.release();
}

CDrawObjList CDensoraView::ReadObjects(const QMimeData *pData) const
{
    CDrawObjList objects;
    if (!pData || !pData->hasFormat(c_strObjectsMimeType))
        return objects;
    QByteArray bytes = pData->data(c_strObjectsMimeType);
    try {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchive ar(&buffer, CArchive::load);
        ar.m_pDocument = m_pDocument;
        CDrawDocument::LoadObjectList(ar, objects);
    } catch (const CException &) {
        // LoadObjectList destroyed what it read; foreign or damaged data paste nothing.
        return {};
    } catch (const std::bad_alloc &) {
        return {};
    }
    return objects;
}

void CDensoraView::OnEditCopy()
{
    if (m_selection.isEmpty())
        return;
    if (QMimeData *data = CreateSelectionMimeData())
        PutOnClipboard(data);
}

void CDensoraView::OnEditCopyAsPicture()
{
    if (m_selection.isEmpty()) {
        Prompts::instance().MessageBox(
            QStringLiteral("At least one object should be selected for this operation"),
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!clipboard()) {
        Prompts::instance().MessageBox(QStringLiteral("Cannot open the Clipboard"),
                                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const QImage picture = RenderSelection();
    if (picture.isNull()) {
        // Qt empties the clipboard by replacing its data, which cannot fail;
        // what can fail here is the bitmap of a very large document.
        Prompts::instance().MessageBox(
            QStringLiteral("There is not enough memory to copy the picture."),
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    auto data = std::make_unique<QMimeData>();
    data->setImageData(picture);
    PutOnClipboard(data.release());
}

bool CDensoraView::CanPaste() const
{
    const QClipboard *board = clipboard();
    const QMimeData *data = board ? board->mimeData() : nullptr;
    return GetDensoraDoc() && data && data->hasFormat(c_strObjectsMimeType);
}

void CDensoraView::OnEditPaste()
{
    CDensoraDoc *doc = GetDensoraDoc();
    QClipboard *board = clipboard();
    if (!doc || !board)
        return;
    CDrawObjList objects = ReadObjects(board->mimeData());
    if (objects.isEmpty())
        return;
    DeselectAllObjects();
    doc->SaveActionStartEnd(kPasteCaption);
    for (CDrawObject *obj : std::as_const(objects)) {
        obj->Offset(c_nPasteOffset, c_nPasteOffset);
        doc->Add(obj, false);
        SelectObject(obj, true);
    }
    doc->SetModifiedFlag();
    doc->UpdateAllViews(nullptr, HintUpdateSelection, nullptr);
    // The clipboard now holds the pasted copies, so the next paste lands
    // another 10 pixels on.
    OnEditCopy();
}

void CDensoraView::OnEditUndo()
{
    if (CDensoraDoc *doc = GetDensoraDoc(); doc && doc->CanUndo())
        doc->Undo();
}

void CDensoraView::OnEditRedo()
{
    if (CDensoraDoc *doc = GetDensoraDoc(); doc && doc->CanRedo())
        doc->Redo();
}

bool CDensoraView::CanDeleteSelection() const
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (!doc)
        return false;
    const CDrawObject *picture = doc->GetDrawImage();
    const CDrawObjList &objects = doc->GetObjects();
    return std::any_of(m_selection.begin(), m_selection.end(), [&](CDrawObject *obj) {
        return obj != picture && objects.contains(obj);
    });
}

void CDensoraView::OnEditClear()
{
    CDensoraDoc *doc = GetDensoraDoc();
    if (!doc || !CanDeleteSelection())
        return;
    // The picture is the document's ground: deleting it would leave overlay
    // objects over nothing. Only the document's own objects are deleted here:
    // a selected lane or band is part of the analysis (held in its lane
    // array), which removes those itself.
    CDrawObjList doomed;
    for (CDrawObject *obj : std::as_const(m_selection)) {
        if (obj != doc->GetDrawImage() && doc->GetObjects().contains(obj))
            doomed.append(obj);
    }
    doc->SaveActionStartEnd(kClearCaption);
    for (CDrawObject *obj : std::as_const(doomed))
        obj->Remove();
    doc->UpdateAllViews(nullptr, HintUpdateAll, nullptr);
}

// --- overlay commands ------------------------------------------------------------------------

void CDensoraView::Align(AlignSide side, const QString &caption)
{
    CDensoraDoc *doc = GetDensoraDoc();
    if (!doc || m_selection.isEmpty())
        return;
    CDrawObject *reference = nullptr;
    if (auto *select = dynamic_cast<CSelectTool *>(FindTool(toolSelect))) {
        reference = select->GetLastClickedObject(doc);
        select->ClearLastClickedObject();
    }
    if (!reference)
        reference = m_selection.first();
    doc->SaveActionStartEnd(caption);
    const CRect ref = normalized(reference->GetPosition());
    for (CDrawObject *obj : std::as_const(m_selection)) {
        const CRect r = normalized(obj->GetPosition());
        switch (side) {
        case AlignSide::Left:
            obj->Offset(ref.left - r.left, 0);
            break;
        case AlignSide::Right:
            obj->Offset(ref.right - r.right, 0);
            break;
        case AlignSide::Top:
            obj->Offset(0, ref.top - r.top);
            break;
        case AlignSide::Bottom:
            obj->Offset(0, ref.bottom - r.bottom);
            break;
        }
    }
    doc->SetModifiedFlag();
    doc->UpdateAllViews(nullptr, HintUpdateAll, nullptr);
}

void CDensoraView::OnOverlayAlignLeft()
{
    Align(AlignSide::Left, QStringLiteral("CDensoraView::OnOverlayAlignLeft"));
}

void CDensoraView::OnOverlayAlignRight()
{
    Align(AlignSide::Right, QStringLiteral("CDensoraView::OnOverlayAlignRight"));
}

void CDensoraView::OnOverlayAlignTop()
{
    Align(AlignSide::Top, QStringLiteral("CDensoraView::OnOverlayAlignTop"));
}

void CDensoraView::OnOverlayAlignBottom()
{
    Align(AlignSide::Bottom, QStringLiteral("CDensoraView::OnOverlayAlignBottom"));
}

void CDensoraView::ChangeSelected(const QString &caption, bool (CDrawObject::*allowed)() const,
                                  const std::function<void(CDrawObject *)> &change)
{
    CDensoraDoc *doc = GetDensoraDoc();
    if (!doc)
        return;
    CDrawObjList targets;
    for (CDrawObject *obj : std::as_const(m_selection)) {
        if ((obj->*allowed)())
            targets.append(obj);
    }
    if (targets.isEmpty())
        return;
    doc->SaveActionStartEnd(caption);
    for (CDrawObject *obj : std::as_const(targets)) {
        doc->UpdateAllViews(nullptr, HintUpdateObject, obj); // the old, maybe wider, outline
        change(obj);
        doc->UpdateAllViews(nullptr, HintUpdateObject, obj);
    }
    doc->SetModifiedFlag();
}

namespace {
long colorOfButton(int id)
{
    FrameServices *frame = FrameServices::instance();
    return frame ? frame->GetColorFromColorButton(id) : -1;
}

void applyWeight(CDrawObject *obj, int weight)
{
    // Weight 0 turns the line off and keeps the previous weight.
    if (weight > 0)
        obj->EnableLine(true, false);
    obj->SetLineWeight(weight, false);
}
} // namespace

void CDensoraView::OnOverlayFillColor()
{
    const long color = colorOfButton(DensoraCmd::OverlayFillColor);
    if (color < 0)
        return;
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayFillColor"),
                   &CDrawObject::CanChangeFillColor, [color](CDrawObject *obj) {
                       obj->EnableFill(true, false);
                       obj->SetFillColor(COLORREF(color), false);
                   });
}

void CDensoraView::OnOverlayNoFill()
{
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayNoFill"),
                   &CDrawObject::CanChangeFillColor,
                   [](CDrawObject *obj) { obj->EnableFill(false, false); });
}

void CDensoraView::OnOverlayLineColor()
{
    const long color = colorOfButton(DensoraCmd::OverlayLineColor);
    if (color < 0)
        return;
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayLineColor"),
                   &CDrawObject::CanChangeLineColor, [color](CDrawObject *obj) {
                       obj->EnableLine(true, false);
                       obj->SetLineColor(COLORREF(color), false);
                   });
}

void CDensoraView::OnOverlayNoLine()
{
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayNoLine"),
                   &CDrawObject::CanChangeLineColor,
                   [](CDrawObject *obj) { obj->EnableLine(false, false); });
}

void CDensoraView::OnOverlayLineWeight()
{
    FrameServices *frame = FrameServices::instance();
    const int weight = frame ? frame->GetWeightFromLineWeight(DensoraCmd::OverlayLineWeight) : -1;
    if (weight < 0)
        return;
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayLineWeight"),
                   &CDrawObject::CanChangeLineWeight,
                   [weight](CDrawObject *obj) { applyWeight(obj, weight); });
}

void CDensoraView::OnOverlayLineWeightDialog()
{
    const LineWeightDialog &dialog = lineWeightDialog();
    if (!dialog || m_selection.isEmpty())
        return;
    int current = 0;
    if (m_selection.size() == 1 && m_selection.first()->m_bLineEnabled)
        current = m_selection.first()->m_nLineWeight;
    const int weight = dialog(current);
    if (weight < 0)
        return; // cancelled
    ChangeSelected(QStringLiteral("CDensoraView::OnOverlayLineWeight"),
                   &CDrawObject::CanChangeLineWeight,
                   [weight](CDrawObject *obj) { applyWeight(obj, weight); });
}

// --- image commands ---------------------------------------------------------------------------

void CDensoraView::DoIPMethod(enImageProcessingMethod method, bool showDialog)
{
    CDensoraDoc *doc = GetDensoraDoc();
    if (!doc)
        return;
    const QString caption = ImageProcessingMethodName(method);
    UndoStep step(doc, caption);

    CDrawObject *target = m_selection.size() == 1
        ? m_selection.first()
        : (doc->GetObjects().isEmpty() ? nullptr : doc->GetObjects().first());
    auto *image = dynamic_cast<CDrawImage *>(target);
    if (!image)
        return; // only a picture can be processed; the step is dropped
    const std::unique_ptr<CDrawObject> backup(image->Clone(nullptr));

    if (showDialog) {
        const IPDialog &dialog = ipDialog();
        if (dialog && dialog(image, method)) {
            doc->SetModifiedFlag();
        } else {
            *image = *backup;
            doc->UpdateAllViews(nullptr, HintUpdateObject, image);
        }
    } else {
        ApplyImageProcessingMethod(*image->GetImage(), method);
        doc->SetModifiedFlag();
    }

    image->SizeToImage();
    SetViewSize();
    doc->UpdateAllViews(nullptr, HintUpdateAll, nullptr);

    if (*image != *backup)
        step.End();
    // otherwise the guard drops the step
}

void CDensoraView::OnImageShowSaturation()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    const TVFImage *image = doc ? doc->GetImage() : nullptr;
    if (!image)
        return;
    DoIPMethod(image->getPaletteType() == fipWinImage::PaletteSaturation ? IPM_NormalPalette
                                                                         : IPM_SaturationPalette,
               false);
}

void CDensoraView::OnImageCrop()
{
    SetCurrentToolType(GetCurrentToolType() == kCropToolType ? toolSelect : kCropToolType);
}

void CDensoraView::OnImageCopyRectangle()
{
    SetCurrentToolType(kCopyRectToolType);
}

void CDensoraView::OnImageInfo()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (CDrawImage *image = doc ? doc->GetDrawImage() : nullptr)
        image->OnEditProperties(this);
}

void CDensoraView::OnImageHistory()
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (CDrawImage *image = doc ? doc->GetDrawImage() : nullptr)
        image->ShowHistory();
}

// --- printing ------------------------------------------------------------------------------

bool CDensoraView::AskFitToPage()
{
    m_bFitToPage
        = Prompts::instance().MessageBox(QStringLiteral("Fit to page"), MB_YESNO | MB_ICONQUESTION)
        == IDYES;
    return m_bFitToPage;
}

float CDensoraView::GetPrintZoomFactor(CSize printable) const
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (!m_bFitToPage || !doc || printable.cx <= 0 || printable.cy <= 0)
        return 1.0f;
    const CRect docRect = doc->GetDocRect();
    return std::min(float(printable.cy) / float(docRect.Height()),
                    float(printable.cx) / float(docRect.Width()));
}

QString CDensoraView::GetPrintHeader(const QDateTime &when) const
{
    QString title = m_pDocument ? m_pDocument->GetTitle() : QString();
    const int cut = title.indexOf(QStringLiteral(" - ["));
    if (cut >= 0)
        title.truncate(cut);
    return title.trimmed() + QStringLiteral(" -- ") + when.toString(QStringLiteral("MM/dd/yy"))
        + QStringLiteral(" -- ") + when.toString(QStringLiteral("HH:mm:ss"));
}

void CDensoraView::PrintPage(QPainter *pDC, const CRect &pageRect, const QDateTime &when)
{
    const CDensoraDoc *doc = GetDensoraDoc();
    if (!pDC || !doc)
        return;
    pDC->save();
    const QString header = GetPrintHeader(when);
    const QFontMetrics metrics(pDC->font(), pDC->device());
    const int textHeight = metrics.height();
    pDC->setPen(Qt::black);
    pDC->drawText(QRect(pageRect.left, pageRect.top + 25, pageRect.Width(), textHeight),
                  Qt::AlignLeft | Qt::AlignTop, header);
    const int lineY = pageRect.top + textHeight + 35;
    // One device pixel on screen; on a printer about 0.17 mm, so the line
    // shows on paper (a single dot of a 1200 dpi printer hardly does).
    QPen line(Qt::black);
    line.setWidthF(std::max(1.0, double(pDC->device()->logicalDpiY()) / 150.0));
    pDC->setPen(line);
    pDC->drawLine(pageRect.left, lineY, pageRect.right - 1, lineY);

    // Fit to page fits the drawing area below the header line, so the
    // picture's bottom is never cut off by the header's height.
    const CRect area(pageRect.left, lineY + 1, pageRect.right, pageRect.bottom);
    if (area.Width() > 0 && area.Height() > 0) {
        const float zoom = GetPrintZoomFactor(CSize(area.Width(), area.Height()));
        const CRect docRect = doc->GetDocRect();
        RenderScope scope(this, zoom);
        pDC->setClipRect(area.toQRect(), Qt::IntersectClip);
        pDC->translate(area.left - std::floor(float(docRect.left) * zoom + 0.5f),
                       area.top - std::floor(float(docRect.top) * zoom + 0.5f));
        for (CDrawObject *obj : std::as_const(doc->GetObjects()))
            obj->Draw(pDC, this);
        DrawExtras(pDC);
    }
    pDC->restore();
}

// --- seams ---------------------------------------------------------------------------------

void CDensoraView::SetIPDialog(IPDialog dialog)
{
    ipDialog() = std::move(dialog);
}

void CDensoraView::SetLineWeightDialog(LineWeightDialog dialog)
{
    lineWeightDialog() = std::move(dialog);
}

void CDensoraView::SetPrintHandler(PrintHandler handler)
{
    printHandler() = std::move(handler);
}

// --- commands ------------------------------------------------------------------------------

void CDensoraView::RegisterCommands(CommandRegistry &registry)
{
    using namespace DensoraCmd;
    const auto hasImage = [this] {
        const CDensoraDoc *doc = GetDensoraDoc();
        return doc && doc->GetDrawImage();
    };
    // An empty window has nothing to zoom or to copy as a picture.
    const auto hasObjects = [this] {
        const CDensoraDoc *doc = GetDensoraDoc();
        return doc && !doc->GetObjects().isEmpty();
    };
    const auto hasSelection = [this] { return !m_selection.isEmpty(); };
    const auto hasTwoSelected = [this] { return m_selection.size() >= 2; };
    const auto canPrint = [this] {
        const CDensoraDoc *doc = GetDensoraDoc();
        return printHandler() && doc && !doc->GetObjects().isEmpty();
    };

    // Editing.
    registry
        .add(
            EditCopy, QStringLiteral("Copy"), [this] { OnEditCopy(); }, hasSelection)
        ->setShortcut(QKeySequence::Copy);
    registry.add(
        EditCopyAsPicture, QStringLiteral("Copy as Picture"), [this] { OnEditCopyAsPicture(); },
        hasObjects);
    registry
        .add(
            EditPaste, QStringLiteral("Paste"), [this] { OnEditPaste(); },
            [this, hasImage] { return hasImage() && CanPaste(); })
        ->setShortcut(QKeySequence::Paste);
    registry
        .add(
            EditUndo, QStringLiteral("Undo"), [this] { OnEditUndo(); },
            [this] {
                const CDensoraDoc *doc = GetDensoraDoc();
                return doc && doc->CanUndo();
            })
        ->setShortcut(QKeySequence::Undo);
    registry
        .add(
            EditRedo, QStringLiteral("Redo"), [this] { OnEditRedo(); },
            [this] {
                const CDensoraDoc *doc = GetDensoraDoc();
                return doc && doc->CanRedo();
            })
        ->setShortcut(QKeySequence::Redo);
    registry
        .add(
            EditClear, QStringLiteral("Delete"), [this] { OnEditClear(); },
            [this] { return CanDeleteSelection(); })
        ->setShortcut(QKeySequence::Delete);

    // Alignment.
    registry.add(
        OverlayAlignLeft, QStringLiteral("Align Left"), [this] { OnOverlayAlignLeft(); },
        hasTwoSelected);
    registry.add(
        OverlayAlignRight, QStringLiteral("Align Right"), [this] { OnOverlayAlignRight(); },
        hasTwoSelected);
    registry.add(
        OverlayAlignTop, QStringLiteral("Align Top"), [this] { OnOverlayAlignTop(); },
        hasTwoSelected);
    registry.add(
        OverlayAlignBottom, QStringLiteral("Align Bottom"), [this] { OnOverlayAlignBottom(); },
        hasTwoSelected);

    // Fill, line and weight.
    registry.add(
        OverlayFillColor, QStringLiteral("Fill Color"), [this] { OnOverlayFillColor(); },
        hasSelection);
    registry.add(
        OverlayNoFill, QStringLiteral("No Fill"), [this] { OnOverlayNoFill(); }, hasSelection);
    registry.add(
        OverlayLineColor, QStringLiteral("Line Color"), [this] { OnOverlayLineColor(); },
        hasSelection);
    registry.add(
        OverlayNoLine, QStringLiteral("No Line"), [this] { OnOverlayNoLine(); }, hasSelection);
    registry.add(
        OverlayLineWeight, QStringLiteral("Line Weight"), [this] { OnOverlayLineWeight(); },
        hasSelection);
    registry.add(
        OverlayLineWeightDialog, QStringLiteral("More Line Weights..."),
        [this] { OnOverlayLineWeightDialog(); },
        [this] { return lineWeightDialog() && !m_selection.isEmpty(); });

    // Drawing tools.
    // The selection tool is always there to go back to. The others draw on
    // the picture, as pasted objects land on it: without one there is nothing
    // to annotate (and a document without a picture cannot be saved).
    const auto tool = [this, &registry, hasImage](int id, const QString &text, ToolType type) {
        registry.add(
            id, text, [this, type] { SetCurrentToolType(type); },
            [this, type, hasImage] {
                return GetDensoraDoc() && FindTool(type) && (type == toolSelect || hasImage());
            },
            [this, type] { return GetCurrentToolType() == type; });
    };
    tool(ToolSelect, QStringLiteral("Select"), toolSelect);
    tool(ToolRectangle, QStringLiteral("Rectangle"), toolRect);
    tool(ToolRoundRectangle, QStringLiteral("Rounded Rectangle"), toolRoundRect);
    tool(ToolEllipse, QStringLiteral("Ellipse"), toolEllipse);
    tool(ToolLine, QStringLiteral("Line"), toolLine);
    tool(ToolPolygon, QStringLiteral("Polygon"), toolPoly);
    tool(ToolLabel, QStringLiteral("Label"), toolLabel);
    tool(ToolText, QStringLiteral("Text"), toolText);

    // Image adjustment and processing.
    const auto method = [this, &registry, hasImage](int id, const QString &text,
                                                    enImageProcessingMethod m, bool dialog) {
        registry.add(
            id, text, [this, m, dialog] { DoIPMethod(m, dialog); }, hasImage);
    };
    method(ImageDisplayAdjustment, QStringLiteral("Display Adjustments"), IPM_DisplayAdjustment,
           true);
    method(ImageAutoContrast, QStringLiteral("Auto Contrast"), IPM_AutoContrastPalette, false);
    registry.add(
        ImageShowSaturation, QStringLiteral("Saturation"), [this] { OnImageShowSaturation(); },
        hasImage,
        [this] {
            const CDensoraDoc *doc = GetDensoraDoc();
            const TVFImage *image = doc ? doc->GetImage() : nullptr;
            return image && image->getPaletteType() == fipWinImage::PaletteSaturation;
        });
    method(ImageGreenPalette, QStringLiteral("Green"), IPM_ShadesOfGreenPalette, false);
    method(ImageBluePalette, QStringLiteral("Blue"), IPM_ShadesOfBluePalette, false);
    method(ImageRedPalette, QStringLiteral("Red"), IPM_ShadesOfRedPalette, false);
    method(ImageNormalPalette, QStringLiteral("Normal"), IPM_NormalPalette, false);
    method(ImageInvert, QStringLiteral("Invert"), IPM_Invert, false);
    method(ImageFlipHorizontal, QStringLiteral("Flip Horizontal"), IPM_FlipHorizontally, false);
    method(ImageFlipVertical, QStringLiteral("Flip Vertical"), IPM_FlipVertically, false);
    method(ImageRotateRight90, QStringLiteral("Rotate Right 90 degrees"), IPM_Rotate90CW, false);
    method(ImageRotateLeft90, QStringLiteral("Rotate Left 90 degrees"), IPM_Rotate90CCW, false);
    method(ImageRotateArbitrary, QStringLiteral("Rotate Arbitrary"), IPM_RotateArbitrarily, true);
    method(ImageNoiseReduction, QStringLiteral("Noise reduction"), IPM_NoiseReductionMedianBlur,
           false);
    registry.add(
        ImageCrop, QStringLiteral("Crop"), [this] { OnImageCrop(); }, hasImage,
        [this] { return GetCurrentToolType() == kCropToolType; });
    registry.add(
        ImageCopyRectangle, QStringLiteral("Copy Rectangle"), [this] { OnImageCopyRectangle(); },
        hasImage, [this] { return GetCurrentToolType() == kCopyRectToolType; });
    registry.add(
        ImageInfo, QStringLiteral("Image Info"), [this] { OnImageInfo(); }, hasImage);
    registry.add(
        ImageHistory, QStringLiteral("Processing History"), [this] { OnImageHistory(); },
        hasImage);

    // Zoom.
    registry.add(
        ZoomToWindow, QStringLiteral("Fit to Window"), [this] { ZoomToView(); }, hasObjects);
    registry.add(
        Zoom100, QStringLiteral("100%"),
        [this] {
            const CSize client = m_pHost ? m_pHost->GetViewportSize() : CSize();
            ZoomAbout(1.0f, CPoint(client.cx / 2, client.cy / 2));
        },
        hasObjects);
    registry
        .add(
            DensoraCmd::ZoomIn, QStringLiteral("Zoom In"), [this] { this->ZoomIn(); }, hasObjects)
        ->setShortcut(QKeySequence::ZoomIn);
    registry
        .add(
            DensoraCmd::ZoomOut, QStringLiteral("Zoom Out"), [this] { this->ZoomOut(); }, hasObjects)
        ->setShortcut(QKeySequence::ZoomOut);

    // Printing: the window layer does the dialogs, the view draws the page.
    const auto print = [this](PrintKind kind) {
        if (const PrintHandler &handler = printHandler())
            handler(this, kind);
    };
    registry
        .add(
            FilePrint, QStringLiteral("Print..."), [print] { print(PrintKind::Dialog); }, canPrint)
        ->setShortcut(QKeySequence::Print);
    registry.add(
        FilePrintDirect, QStringLiteral("Quick Print"), [print] { print(PrintKind::Direct); },
        canPrint);
    registry.add(
        FilePrintPreview, QStringLiteral("Print Preview"), [print] { print(PrintKind::Preview); },
        canPrint);
    registry.add(
        FilePrintToPdf, QStringLiteral("Print to PDF..."), [print] { print(PrintKind::Pdf); },
        canPrint);
}
