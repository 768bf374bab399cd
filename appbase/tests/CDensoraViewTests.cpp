#include "appbase/CDensoraDoc.h"
#include "appbase/CDensoraView.h"
#include "appbase/CommandRegistry.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/FrameServices.h"
#include "appbase/ui/CDensoraPrinting.h"

#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawRectangle.h"

#include "platform/Prompts.h"

#include "testsupport/PictureTestSupport.h"
#include "testsupport/TestViewHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

class TestFrame : public FrameServices
{
public:
    long GetColorFromColorButton(int id) const override
    {
        return id == DensoraCmd::OverlayFillColor ? fill : line;
    }
    int GetWeightFromLineWeight(int) const override { return weight; }
    void DisplayStatusBarText(const QString &text) override { texts.append(text); }
    void SetZoomSlider(float zoomFactor) override { slider.append(zoomFactor); }

    long fill = -1;
    long line = -1;
    int weight = -1;
    QStringList texts;
    QList<float> slider;
};

struct ScopedFrame
{
    ScopedFrame() { FrameServices::install(&frame); }
    ~ScopedFrame() { FrameServices::install(nullptr); }
    TestFrame frame;
};

// A document with a picture and a view in a window of the given size.
struct ViewFixture : PictureDocument<CDensoraDoc, CDensoraView>
{
    explicit ViewFixture(int w = 40, int h = 30, CSize window = CSize(800, 600))
        : PictureDocument(w, h, 10), host(window)
    {
        doc.SetTitle(QStringLiteral("gel.tif"));
        view.SetHost(&host);
    }
    ~ViewFixture() { view.SetHost(nullptr); }

    CDrawRectangle *addRect(const CRect &r)
    {
        auto *obj = new CDrawRectangle(r);
        doc.Add(obj);
        return obj;
    }

    TestViewHost host;
};

} // namespace

TEST(CDensoraView, CoordinatesZoomAndPixelReadOut)
{
    ScopedFrame frame;
    ViewFixture f(1000, 500);

    f.view.SetZoomFactor(2.0f);
    CPoint p(5, 5);
    f.view.Screen2Logical(p, false);
    EXPECT_EQ(p, CPoint(3, 3));
    f.view.Logical2Screen(p, false);
    EXPECT_EQ(p, CPoint(6, 6));
    EXPECT_EQ(f.doc.GetTitle(), QStringLiteral("gel.tif - [at zoom factor 2.00]"));
    EXPECT_EQ(f.view.GetScrollSizes(), CSize(2000, 1000));
    EXPECT_EQ(f.host.m_total, CSize(2000, 1000));

    // The scroll position comes from the window and is added.
    f.host.SetScrollPosition(CPoint(100, 40));
    p = CPoint(5, 5);
    f.view.Screen2Logical(p, true);
    EXPECT_EQ(p, CPoint(53, 23));

    // The read-out names the pixel under the mouse: at zoom 4 window pixel 7
    // lies in image pixel 1 (rounding would say 2).
    f.host.SetScrollPosition(CPoint());
    f.view.SetZoomFactor(4.0f);
    f.view.OnMouseMove(0, CPoint(7, 7));
    ASSERT_EQ(frame.frame.texts.size(), 1);
    EXPECT_EQ(frame.frame.texts.last(), QStringLiteral("(001,001)=[011]"));
    // Off the picture nothing is shown.
    f.view.OnMouseMove(0, CPoint(4000, 10));
    EXPECT_EQ(frame.frame.texts.size(), 1);

    // ZoomToView: 1000 x 500 in 800 x 600 gives 0.8, and the slider follows.
    f.view.ZoomToView();
    EXPECT_EQ(f.view.GetZoomFactor(), 0.8f);
    EXPECT_EQ(f.view.GetScrollSizes(), CSize(800, 400));
    ASSERT_FALSE(frame.frame.slider.isEmpty());
    EXPECT_EQ(frame.frame.slider.last(), 0.8f);
    EXPECT_EQ(f.doc.GetTitle(), QStringLiteral("gel.tif - [at zoom factor 0.80]"));

    // Zooming about a point keeps the image point under it.
    f.host.SetViewportSize(CSize(400, 300));
    f.view.SetZoomFactor(1.0f);
    f.host.SetScrollPosition(CPoint(200, 100));
    f.view.ZoomAbout(2.0f, CPoint(50, 60)); // image point (250, 160)
    EXPECT_EQ(f.host.GetScrollPosition(), CPoint(450, 260));
}

TEST(CDensoraView, MouseGoesToTheCurrentToolInImagePixels)
{
    ViewFixture f(1000, 500);
    f.view.SetZoomFactor(2.0f);
    f.host.SetScrollPosition(CPoint(20, 10));
    f.view.SetCurrentToolType(toolRect);
    f.view.OnLButtonDown(MK_LBUTTON, CPoint(20, 30));
    f.view.OnMouseMove(MK_LBUTTON, CPoint(80, 70));
    f.view.OnLButtonUp(0, CPoint(80, 70));
    ASSERT_EQ(f.doc.GetObjects().size(), 2);
    EXPECT_EQ(f.doc.GetObjects().last()->GetPosition(), CRect(20, 20, 50, 40));
    EXPECT_TRUE(f.doc.CanUndo());
}

TEST(CDensoraView, AlignmentMovesToTheReferenceAsOneUndoStep)
{
    ViewFixture f;
    CDrawRectangle *first = f.addRect(CRect(10, 5, 20, 15));
    CDrawRectangle *second = f.addRect(CRect(30, 40, 50, 60));
    f.view.SelectObject(first);
    f.view.SelectObject(second, true);

    f.view.OnOverlayAlignLeft();
    EXPECT_EQ(first->GetPosition(), CRect(10, 5, 20, 15));
    EXPECT_EQ(second->GetPosition(), CRect(10, 40, 30, 60));
    ASSERT_EQ(f.doc.GetActionStorage().size(), 1);

    f.view.OnOverlayAlignBottom();
    EXPECT_EQ(first->GetPosition(), CRect(10, 5, 20, 15));
    EXPECT_EQ(second->GetPosition(), CRect(10, -5, 30, 15));

    // Undo brings both steps back in turn.
    f.view.OnEditUndo();
    f.view.OnEditUndo();
    ASSERT_EQ(f.doc.GetObjects().size(), 3);
    EXPECT_EQ(f.doc.GetObjects()[1]->GetPosition(), CRect(10, 5, 20, 15));
    EXPECT_EQ(f.doc.GetObjects()[2]->GetPosition(), CRect(30, 40, 50, 60));
}

TEST(CDensoraView, FillLineAndWeightFollowTheFrame)
{
    ScopedFrame frame;
    ViewFixture f;
    CDrawRectangle *rect = f.addRect(CRect(1, 1, 9, 9));
    f.view.SelectObject(rect);
    CommandRegistry registry;
    f.view.RegisterCommands(registry);

    // No choice on the button changes nothing and records nothing.
    EXPECT_TRUE(registry.run(DensoraCmd::OverlayFillColor));
    EXPECT_FALSE(rect->m_bFillEnabled);
    EXPECT_FALSE(f.doc.CanUndo());

    frame.frame.fill = RGB(1, 2, 3);
    registry.run(DensoraCmd::OverlayFillColor);
    EXPECT_TRUE(rect->m_bFillEnabled);
    EXPECT_EQ(rect->m_fillColor, RGB(1, 2, 3));
    EXPECT_TRUE(f.doc.CanUndo());

    frame.frame.weight = 0;
    registry.run(DensoraCmd::OverlayLineWeight);
    EXPECT_FALSE(rect->m_bLineEnabled);

    // The dialog starts from the single selection's weight only while its
    // line shows; its answer 5 turns the line back on.
    int offered = -1;
    CDensoraView::SetLineWeightDialog([&offered](int current) {
        offered = current;
        return 5;
    });
    registry.run(DensoraCmd::OverlayLineWeightDialog);
    CDensoraView::SetLineWeightDialog({});
    EXPECT_EQ(offered, 0);
    EXPECT_TRUE(rect->m_bLineEnabled);
    EXPECT_EQ(rect->m_nLineWeight, 5);
}

TEST(CDensoraView, ImageMethodKeepsTheUndoStepOnlyWhenThePictureChanged)
{
    ViewFixture f(4, 3);
    TVFImage *image = f.doc.GetImage();
    CUndoRedoManager &undo = f.doc.GetUndoRedoManager();

    // Without a dialog the method is applied: a real change is one undo step.
    f.view.DoIPMethod(IPM_FlipHorizontally, false);
    image = f.doc.GetImage();
    EXPECT_EQ(GreyPixelAt(image, 0, 0), 30);
    EXPECT_EQ(undo.GetActionStorage().size(), 1);
    EXPECT_FALSE(undo.HasPendingAction());
    f.view.OnEditUndo();
    EXPECT_EQ(GreyPixelAt(f.doc.GetImage(), 0, 0), 0);
    f.view.OnEditRedo();
    EXPECT_EQ(GreyPixelAt(f.doc.GetImage(), 0, 0), 30);

    // A dialog that changes the picture and is cancelled: restored, no step.
    const int steps = int(undo.GetActionStorage().size());
    CDensoraView::SetIPDialog([](CDrawImage *target, enImageProcessingMethod method) {
        EXPECT_EQ(method, IPM_RotateArbitrarily);
        ApplyImageProcessingMethod(*target->GetImage(), IPM_Invert);
        return false;
    });
    f.view.DoIPMethod(IPM_RotateArbitrarily, true);
    EXPECT_EQ(GreyPixelAt(f.doc.GetImage(), 0, 0), 30);
    EXPECT_EQ(int(undo.GetActionStorage().size()), steps);
    EXPECT_FALSE(undo.HasPendingAction());

    // OK without a change: the step is dropped too.
    CDensoraView::SetIPDialog([](CDrawImage *, enImageProcessingMethod) { return true; });
    f.view.DoIPMethod(IPM_DisplayAdjustment, true);
    EXPECT_EQ(int(undo.GetActionStorage().size()), steps);

    // OK after a change that also changes the size: kept, and the view follows.
    CDensoraView::SetIPDialog([](CDrawImage *target, enImageProcessingMethod) {
        return ApplyImageProcessingMethod(*target->GetImage(), IPM_Rotate90CW);
    });
    f.view.DoIPMethod(IPM_RotateArbitrarily, true);
    CDensoraView::SetIPDialog({});
    EXPECT_EQ(int(undo.GetActionStorage().size()), steps + 1);
    EXPECT_EQ(f.doc.GetDrawImage()->GetPosition(), CRect(0, 0, 3, 4));
    EXPECT_EQ(f.view.GetScrollSizes(), CSize(3, 4));

    // A selected overlay object is no picture: nothing happens, nothing is left open.
    CDrawRectangle *rect = f.addRect(CRect(0, 0, 2, 2));
    f.view.SelectObject(rect);
    f.view.DoIPMethod(IPM_Invert, false);
    EXPECT_EQ(int(undo.GetActionStorage().size()), steps + 1);
    EXPECT_FALSE(undo.HasPendingAction());

    // The saturation command toggles.
    f.view.DeselectAllObjects();
    f.view.OnImageShowSaturation();
    EXPECT_EQ(f.doc.GetImage()->getPaletteType(), fipWinImage::PaletteSaturation);
    f.view.OnImageShowSaturation();
    EXPECT_EQ(f.doc.GetImage()->getPaletteType(), fipWinImage::PaletteNormal);
}

TEST(CDensoraView, CopyAndPasteRoundTripCascades)
{
    ScopedScriptedPrompts prompts;
    ViewFixture f(60, 40);
    CDrawRectangle *rect = f.addRect(CRect(10, 10, 20, 30));
    rect->m_lineColor = RGB(255, 0, 0);
    CommandRegistry registry;
    f.view.RegisterCommands(registry);

    // Copy as picture wants a selection.
    f.view.OnEditCopyAsPicture();
    EXPECT_EQ(
        prompts->Texts(),
        QStringList {QStringLiteral("At least one object should be selected for this operation")});

    f.view.SelectObject(rect);
    ASSERT_TRUE(registry.run(DensoraCmd::EditCopy));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(CDensoraView::c_strObjectsMimeType));
    // The picture of the selection covers the document, the rectangle on white.
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    ASSERT_EQ(picture.size(), QSize(60, 40));
    EXPECT_EQ(picture.pixelColor(10, 20), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(40, 20), QColor(Qt::white));

    ASSERT_TRUE(registry.run(DensoraCmd::EditPaste));
    ASSERT_EQ(f.doc.GetObjects().size(), 3);
    CDrawObject *pasted = f.doc.GetObjects().last();
    EXPECT_NE(pasted, rect);
    EXPECT_EQ(pasted->GetPosition(), CRect(20, 20, 30, 40));
    EXPECT_EQ(pasted->m_lineColor, RGB(255, 0, 0));
    EXPECT_EQ(f.view.GetSelectedObjects(), CDrawObjList {pasted});
    EXPECT_EQ(f.doc.GetActionStorage().size(), 1);

    registry.run(DensoraCmd::EditPaste);
    ASSERT_EQ(f.doc.GetObjects().size(), 4);
    EXPECT_EQ(f.doc.GetObjects().last()->GetPosition(), CRect(30, 30, 40, 50));

    // Undo takes the pastes back one by one.
    registry.run(DensoraCmd::EditUndo);
    EXPECT_EQ(f.doc.GetObjects().size(), 3);

    // Damaged objects on the clipboard paste nothing and break nothing.
    auto *damaged = new QMimeData;
    damaged->setData(CDensoraView::c_strObjectsMimeType, QByteArray("\x05\x00\xff\xff", 4));
    QGuiApplication::clipboard()->setMimeData(damaged);
    f.view.OnEditPaste();
    EXPECT_EQ(f.doc.GetObjects().size(), 3);

    // Delete removes the overlay objects but never the picture.
    f.view.SelectObject(f.doc.GetObjects().first());
    f.view.SelectObject(f.doc.GetObjects().last(), true);
    registry.run(DensoraCmd::EditClear);
    ASSERT_EQ(f.doc.GetObjects().size(), 2);
    EXPECT_NE(f.doc.GetDrawImage(), nullptr);
}

// An empty window offers no picture command; a picture enables them, and
// the overlay commands then wait for a selection.
TEST(CDensoraView, CommandsNeedAPictureAndTheirSelection)
{
    using namespace DensoraCmd;
    CDensoraDoc doc;
    CDensoraView view(&doc);
    CommandRegistry registry;
    view.RegisterCommands(registry);
    const auto enabled = [&registry](int id) {
        registry.update(id);
        QAction *action = registry.action(id);
        EXPECT_NE(action, nullptr) << id;
        return action && action->isEnabled();
    };
    const int pictureCommands[]
        = {EditCopyAsPicture,   ToolRectangle,          ToolRoundRectangle,  ToolEllipse,
           ToolLine,            ToolPolygon,            ToolLabel,           ToolText,
           ImageDisplayAdjustment, ImageAutoContrast,   ImageShowSaturation, ImageGreenPalette,
           ImageBluePalette,    ImageRedPalette,        ImageNormalPalette,  ImageInvert,
           ImageFlipHorizontal, ImageFlipVertical,      ImageRotateRight90,  ImageRotateLeft90,
           ImageRotateArbitrary, ImageNoiseReduction,   ImageCrop,           ImageCopyRectangle,
           ImageInfo,           ImageHistory,           ZoomToWindow,        Zoom100,             ZoomIn,
           ZoomOut};
    const int selectionCommands[]
        = {EditCopy,         EditClear,         OverlayFillColor, OverlayNoFill,
           OverlayLineColor, OverlayNoLine,     OverlayLineWeight, OverlayAlignLeft,
           OverlayAlignRight, OverlayAlignTop,  OverlayAlignBottom};
    for (int id : pictureCommands)
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : selectionCommands)
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(ToolSelect));
    EXPECT_FALSE(registry.run(ImageRotateRight90));

    // Copied objects on the clipboard wait for a picture to land on.
    auto *copied = new QMimeData;
    copied->setData(CDensoraView::c_strObjectsMimeType, QByteArray(1, '\0'));
    QGuiApplication::clipboard()->setMimeData(copied);
    EXPECT_FALSE(enabled(EditPaste));

    doc.Add(NewGreyPicture(20, 10, 10));
    for (int id : pictureCommands)
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : selectionCommands)
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(EditPaste));

    auto *a = new CDrawRectangle(CRect(1, 1, 5, 5));
    auto *b = new CDrawRectangle(CRect(6, 1, 9, 5));
    doc.Add(a);
    doc.Add(b);
    view.SelectObject(a);
    view.SelectObject(b, true);
    for (int id : selectionCommands)
        EXPECT_TRUE(enabled(id)) << id;
    QGuiApplication::clipboard()->clear();

    // The history command shows the picture's history page.
    TVFImage *shown = nullptr;
    CDrawImage::SetHistoryHandler([&shown](TVFImage *image) { shown = image; });
    EXPECT_TRUE(registry.run(ImageHistory));
    CDrawImage::SetHistoryHandler({});
    EXPECT_EQ(shown, doc.GetImage());
}

// While a crop rectangle is dragged the view shows it, dashed.
TEST(CDensoraView, DraggedCropRectangleIsShown)
{
    ScopedScriptedPrompts prompts;
    ViewFixture f(100, 80);
    f.view.SetCurrentToolType(toolCropImage);
    f.view.OnLButtonDown(MK_LBUTTON, CPoint(10, 10));
    f.view.OnMouseMove(MK_LBUTTON, CPoint(50, 40));
    const auto blackOnTopEdge = [&f] {
        QImage shown(100, 80, QImage::Format_RGB32);
        QPainter painter(&shown);
        f.view.PaintVisible(&painter, shown.rect());
        painter.end();
        int black = 0;
        for (int x = 11; x < 50; ++x)
            black += shown.pixelColor(x, 10) == QColor(Qt::black);
        return black;
    };
    EXPECT_GT(blackOnTopEdge(), 10);
    f.view.OnLButtonUp(0, CPoint(50, 40));
    EXPECT_EQ(f.doc.GetImage()->getWidth(), 40u); // cropped to what was shown
}

TEST(CDensoraView, PaintingTheExposedPartMatchesPaintingAll)
{
    ViewFixture f(300, 200, CSize(250, 150));
    // Grey values that differ in every column and row.
    f.view.SetZoomFactor(1.7f);
    f.host.SetScrollPosition(CPoint(33, 21));

    QImage whole(250, 150, QImage::Format_RGB32);
    {
        QPainter painter(&whole);
        f.view.PaintVisible(&painter, QRect(0, 0, 250, 150));
    }
    QImage part(250, 150, QImage::Format_RGB32);
    part.fill(Qt::black);
    const QRect exposed(37, 19, 90, 71);
    {
        QPainter painter(&part);
        f.view.PaintVisible(&painter, exposed);
    }
    EXPECT_EQ(part.copy(exposed), whole.copy(exposed));
    // Outside the exposed part nothing was painted.
    EXPECT_EQ(part.pixelColor(10, 10), QColor(Qt::black));
}

TEST(CDensoraView, PrintingOnePageWithItsHeader)
{
    ScopedScriptedPrompts prompts;
    ViewFixture f(400, 100);
    f.doc.SetTitleWithZoom(0.5f);
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(f.view.GetPrintHeader(when), QStringLiteral("gel.tif -- 03/04/26 -- 05:06:07"));

    prompts->QueueAnswer(IDYES);
    EXPECT_TRUE(f.view.AskFitToPage());
    EXPECT_EQ(prompts->Texts(), QStringList {QStringLiteral("Fit to page")});
    EXPECT_EQ(f.view.GetPrintZoomFactor(CSize(800, 1000)), 2.0f);

    // The page: header text at the top, the line across, the picture fitted
    // below the line (all of it, the last column included).
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        f.view.PrintPage(&painter, CRect(0, 0, 800, 600), when);
    }
    const int textHeight = QFontMetrics(QFont(), &page).height();
    const int lineY = textHeight + 35;
    for (int x : {0, 400, 799})
        EXPECT_EQ(page.pixelColor(x, lineY), QColor(Qt::black)) << x;
    bool inked = false;
    for (int y = 25; y < 25 + textHeight && !inked; ++y)
        for (int x = 0; x < 200 && !inked; ++x)
            inked = page.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_TRUE(inked);
    // 400 x 100 on 800 wide: zoom 2, so picture pixel (399, 99) lands at the
    // bottom right of the 800 x 200 block below the line.
    const int top = lineY + 1;
    EXPECT_EQ(qGray(page.pixel(799, top + 199)), (399 * 10 + 99) % 256);
    EXPECT_EQ(qGray(page.pixel(0, top)), 0);
    EXPECT_EQ(page.pixelColor(400, top + 201), QColor(Qt::white));

    // The same page into a PDF file: one page, the title without the zoom.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    ASSERT_TRUE(CDensoraPrinting::PrintToPdf(&f.view, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    const QString text = QString::fromLatin1(pdf);
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 1);
}

namespace {

// Runs 'inspect' on the modal dialog of type D once it is open (the dialogs
// run their own event loop), then lets the test go on.
template <class D>
void whenModalOpens(std::function<void(D *)> inspect, bool *seen)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, inspect, seen, tries] {
        if (auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            *seen = true;
            inspect(dialog);
        } else if (++*tries > 500) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

} // namespace

// The print commands reach the window half through the view's seam, each with
// its kind, and only when there is a page to print.
TEST(CDensoraView, PrintCommandsGoThroughThePrintHandler)
{
    using namespace DensoraCmd;
    CDensoraDoc empty;
    CDensoraView nothing(&empty);
    ViewFixture f(40, 30);
    CommandRegistry registry;
    CommandRegistry emptyRegistry;
    f.view.RegisterCommands(registry);
    nothing.RegisterCommands(emptyRegistry);

    QList<CDensoraView::PrintKind> asked;
    CDensoraView *printed = nullptr;
    CDensoraView::SetPrintHandler([&](CDensoraView *view, CDensoraView::PrintKind kind) {
        printed = view;
        asked << kind;
    });
    const int commands[] = {FilePrint, FilePrintDirect, FilePrintPreview, FilePrintToPdf};
    for (int id : commands) {
        EXPECT_FALSE(emptyRegistry.run(id)) << id;
        EXPECT_TRUE(registry.run(id)) << id;
    }
    using K = CDensoraView::PrintKind;
    EXPECT_EQ(asked, QList<K>({K::Dialog, K::Direct, K::Preview, K::Pdf}));
    EXPECT_EQ(printed, &f.view);

    CDensoraView::SetPrintHandler({});
    for (int id : commands)
        EXPECT_FALSE(registry.run(id)) << id;
}

// The real dialogs off screen: the preview shows the one page and offers the
// fit to the page; the print dialog carries the "Fit to page" choice, Cancel
// prints nothing and keeps it, OK takes it and prints.
TEST(CDensoraView, PrintPreviewAndPrintDialogs)
{
    ScopedScriptedPrompts prompts;
    ViewFixture f(400, 100);
    CommandRegistry registry;
    f.view.RegisterCommands(registry);
    CDensoraPrinting::Install();

    bool seen = false;
    int pages = -1;
    QImage shown;
    whenModalOpens<QPrintPreviewDialog>(
        [&](QPrintPreviewDialog *dialog) {
            auto *preview = dialog->findChild<QPrintPreviewWidget *>();
            if (preview) {
                preview->updatePreview();
                pages = preview->pageCount();
            }
            shown = dialog->grab().toImage();
            for (QAction *action : dialog->findChildren<QAction *>())
                if (action->text() == QStringLiteral("Fit to page") && !action->isChecked())
                    action->trigger();
            dialog->reject();
        },
        &seen);
    f.view.SetFitToPage(false);
    ASSERT_TRUE(registry.run(DensoraCmd::FilePrintPreview));
    ASSERT_TRUE(seen);
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(shown.isNull());
    EXPECT_TRUE(f.view.GetFitToPage()); // chosen in the preview's toolbar

    // Cancel.
    f.view.SetFitToPage(false);
    seen = false;
    bool offered = false;
    whenModalOpens<QPrintDialog>(
        [&](QPrintDialog *dialog) {
            for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
                if (box->text() == QStringLiteral("Fit to page")) {
                    offered = !box->isChecked();
                    box->setChecked(true);
                }
            dialog->reject();
        },
        &seen);
    EXPECT_FALSE(CDensoraPrinting::PrintWithDialog(&f.view, nullptr));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(offered);
    EXPECT_FALSE(f.view.GetFitToPage());

    // OK, to a file.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("dialog.pdf"));
    seen = false;
    whenModalOpens<QPrintDialog>(
        [&](QPrintDialog *dialog) {
            for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
                if (box->text() == QStringLiteral("Fit to page"))
                    box->setChecked(true);
            // The dialog's own choice, as a user would make it: print to a
            // PDF file (the machine may have no printer).
            if (auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers")))
                printers->setCurrentIndex(printers->count() - 1);
            if (auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
                file->setText(path);
            dialog->accept();
        },
        &seen);
    const bool printedOk = CDensoraPrinting::PrintWithDialog(&f.view, nullptr);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(f.view.GetFitToPage());
    EXPECT_TRUE(printedOk);
    EXPECT_TRUE(prompts->Texts().isEmpty()) << prompts->Texts().join('|').toStdString();
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4).startsWith("%PDF"));
    CDensoraView::SetPrintHandler({});
}
