#pragma once

// A text on the overlay: the text is written in the line colour inside the
// object's rectangle (wrapped at its width), over the fill when the fill is
// enabled and inside a frame when the line is. The text height is in logical
// units, so the text zooms with the picture; the text and label tools choose
// a height that reads well at the zoom it was written at.

#include "contracts/overlay/CDrawRectangle.h"

#include <QString>

#include <functional>

class CDrawText : public CDrawRectangle
{
    DECLARE_SERIAL(CDrawText)
public:
    CDrawText();
    explicit CDrawText(const CRect &position, const QString &text = QString());
    CDrawText(const CDrawText &other);
    ~CDrawText() override;
    CDrawText &operator=(const CDrawText &other);

    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    void Serialize(CArchive &ar) override;
    void Draw(QPainter *pDC, CDrawView *pView) override;
    // Anywhere inside the rectangle hits the text.
    int HitTest(const CPoint &point, int bSelected, CDrawView *pView = nullptr) override;
    // Double-click: edit the text (one undo step when it changes).
    void OnOpen(CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    const QString &GetText() const { return m_strText; }
    void SetText(const QString &text);

    // Logical size the text needs on one line per paragraph at the object's
    // text height (with a small margin).
    CSize TextExtent() const;
    // A text height in logical units that shows 'screenPixels' high at 'zoom'.
    static int TextHeightForZoom(int screenPixels, float zoom);

    // How the user enters a text: the user interface installs a dialog that
    // edits 'text' in place and returns false on cancel. Without one the text
    // offered stays as it is (true).
    using TextEntryHandler = std::function<bool(const QString &title, QString &text)>;
    static void SetTextEntryHandler(TextEntryHandler handler);
    static bool AskText(const QString &title, QString &text);

protected:
    QString m_strText;
};
