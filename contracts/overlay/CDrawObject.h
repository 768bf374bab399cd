#pragma once

// Base of every editable object drawn over the gel image. Positions are logical
// units (image pixels, origin top left, y down); the view converts them to the
// screen when drawing. Handles are the small squares of a selected object that
// the selection tool drags to size it; they keep a fixed size on the screen.

#include "platform/CObject.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <QString>
#include <QStringList>
#include <Qt>

class CArchive;
class CDrawDocument;
class CDrawView;
class QPainter;
class QWidget;

class CDrawObject : public CObject
{
    DECLARE_SERIAL(CDrawObject)
public:
    // Side of a handle square on the screen, in pixels.
    static constexpr int c_nHandleSize = 7;

    CDrawObject();
    explicit CDrawObject(const CRect &position);
    CDrawObject(const CDrawObject &other);
    ~CDrawObject() override;

    // Copies the drawing attributes and the position (and the owning document).
    virtual CDrawObject &operator=(const CDrawObject &other);
    // Compares the position and the drawing attributes; derived classes add their own.
    virtual bool operator==(const CDrawObject &other) const;
    virtual bool operator!=(const CDrawObject &other) const;

    void Serialize(CArchive &ar) override;

    // Geometry and handles ------------------------------------------------------
    virtual void MoveTo(const CRect &position, CDrawView *pView);
    virtual int GetHandleCount() const;
    // Logical coordinate of handle 1..GetHandleCount(): 1 top left, then clockwise
    // (2 top centre, 3 top right, 4 right centre, 5 bottom right, 6 bottom centre,
    // 7 bottom left, 8 left centre).
    virtual CPoint GetHandleCoordinate(int nHandle) const;
    // The handle's square in logical units (its screen size is fixed, so it grows
    // in logical units as the zoom falls). Without a view the document's first view
    // gives the zoom, else 1.
    virtual CRect GetHandleRect(int nHandle, CDrawView *pView = nullptr) const;
    virtual Qt::CursorShape GetHandleCursor(int nHandle) const;

    // Attributes ----------------------------------------------------------------
    virtual void SetLineColor(COLORREF color, bool bInvalidate = true);
    virtual void SetFillColor(COLORREF color, bool bInvalidate = true);
    // Percent of transparency of the fill, 0 (opaque) to 100 (invisible).
    virtual void SetTranslucent(int nPercent, bool bInvalidate = true);
    virtual bool CanBeSelected() const;

    // Drawing -------------------------------------------------------------------
    virtual void Draw(QPainter *pDC, CDrawView *pView);
    // Fills a logical rectangle with a colour (no outline).
    virtual void DrawSolidRect(QPainter *pDC, CDrawView *pView, const CRect &rect, COLORREF color);
    // Rotates the object about 'centre' by 'angle' degrees (clockwise on the screen,
    // y pointing down); a rectangle becomes the bounding box of its turned corners.
    virtual void Rotate(CPoint &centre, double angle);
    // Appends readable lines describing the position (properties dialogs).
    virtual void FillInPositionInfo(QStringList &lines) const;
    // Moves the object without a view (alignment commands).
    virtual void Offset(int dx, int dy);
    // Draws the handles of a selected object.
    virtual void DrawTracker(QPainter *pDC, CDrawView *pView);
    virtual void MoveDelta(CPoint delta, CDrawView *pView);

    // Hit-testing ---------------------------------------------------------------
    // Selected: the handle under the point (1..GetHandleCount()) or 0.
    // Not selected: 1 when the point lies on the object, else 0.
    virtual int HitTest(const CPoint &point, int bSelected, CDrawView *pView = nullptr);
    // True when the object's (normalised) rectangle meets 'rect'.
    virtual bool Intersects(CRect &rect);
    // True when the object lies wholly within 'rect'.
    virtual bool IsInside(CRect &rect);
    // Moves handle nHandle to the logical point.
    virtual void MoveHandleTo(int nHandle, CPoint point, CDrawView *pView);

    // User-interface hooks; the engine-side base does nothing -------------------
    virtual void OnOpen(CDrawView *pView);
    virtual void OnEditProperties(CDrawView *pView);
    virtual void AddPropertyPages(QWidget *pSheet);
    virtual void DeletePropertyPages();

    // A new object of the same kind and contents; added to the document when one
    // is given (without frame style).
    virtual CDrawObject *Clone(CDrawDocument *pDoc);
    // Takes the object out of its document and destroys it; the pointer is dead
    // afterwards.
    virtual void Remove();
    virtual bool LoadPopupMenu(CDrawView *pView, CPoint point);
    // Logical rectangle to repaint when the object changes: its rectangle plus
    // room for the handles and the line.
    virtual CRect GetAreaToBeRepainted(CDrawView *pView = nullptr) const;
    // Draws a label with the text attributes, in the line colour, its top left
    // corner at the logical point.
    virtual void DrawText(QPainter *pDC, CDrawView *pView, const QString &text, CPoint point);
    virtual bool CanChangeFillColor() const;
    virtual bool CanChangeLineColor() const;
    virtual bool CanChangeLineWeight() const;
    virtual bool CanHaveArrowEnd() const;
    // Whether the mouse may move and size the object (see CDrawRectangleBound).
    virtual bool CanBeEdited() const;

    void DrawTextW(QPainter *pDC, CDrawView *pView, const QString &text, CPoint point)
    {
        DrawText(pDC, pView, text, point);
    }

    // Non-virtual attribute setters ----------------------------------------------
    // Repaints the object in every view of its document.
    void Invalidate(bool bErase = true);
    void EnableLine(bool bEnable, bool bInvalidate = true);
    void EnableFill(bool bEnable, bool bInvalidate = true);
    // A weight of 0 or less disables the line and keeps the previous weight.
    void SetLineWeight(int nWeight, bool bInvalidate = true);
    // Label attributes: background transparent (1) or filled with the fill colour
    // (0); font height in logical units, used when labels zoom; font height in
    // screen pixels, used when they do not; labels zoom with the view (1) or not (0).
    void SetTextAttributes(int nTransparent, int nHeight, int nScreenHeight, int nZooms);

    CDrawDocument *GetDocument() const { return m_pDocument; }
    const CRect &GetPosition() const { return m_position; }
    // Margin, in logical units, that the handles and the line need around the
    // rectangle at the view's zoom.
    int GetTrackerMargin(CDrawView *pView = nullptr) const;

    // Fields used directly by the derived objects and the application.
    CDrawDocument *m_pDocument = nullptr; // not owned
    CRect m_position; // logical units, may be unnormalised while dragged
    bool m_bLineEnabled = true;
    int m_nLineWeight = 1; // logical units
    COLORREF m_lineColor = RGB(0, 0, 0);
    bool m_bFillEnabled = false;
    COLORREF m_fillColor = RGB(255, 255, 255);
    int m_nTranslucent = 0; // percent
    int m_nTextTransparent = 1;
    int m_nTextHeight = 16;
    int m_nTextScreenHeight = 16;
    int m_nTextZooms = 0;

protected:
    // The body of every kind's Clone: a copy made by T's copy constructor,
    // added to the document when one is given (without frame style). The
    // caller owns the copy when no document is given.
    template <class T>
    static CDrawObject *CloneAs(const T &self, CDrawDocument *pDoc)
    {
        return AddClone(new T(self), pDoc);
    }

    // Zoom of the given view, else of the document's first view, else 1.
    float ZoomOf(CDrawView *pView) const;
    // Draws the handle squares, each handle coordinate shifted by 'offset'.
    void DrawHandles(QPainter *pDC, CDrawView *pView, CPoint offset);
    // Rectangle handle arithmetic shared by the rectangle kinds.
    static CPoint RectHandle(const CRect &rect, int nHandle);
    static CRect MoveRectHandle(const CRect &rect, int nHandle, CPoint point);

private:
    // Out of line so that this header needs no complete CDrawDocument.
    static CDrawObject *AddClone(CDrawObject *pClone, CDrawDocument *pDoc);
};
