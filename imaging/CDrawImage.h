#pragma once

// The drawing object that puts the picture (TVFImage) into a document's object
// list, so that it is drawn, copied, undone and stored like any other overlay
// object. It is normally the document's first object; its position is the
// picture's pixel rectangle and it cannot be moved.

#include "contracts/overlay/CDrawObject.h"

#include "platform/Geometry.h"

#include <FreeImage.h>

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFile;
class TVFImage;

class CDrawImage : public CDrawObject
{
    DECLARE_SERIAL(CDrawImage)
public:
    CDrawImage();
    explicit CDrawImage(const CRect &position);
    // The picture is cloned (bitmap, display settings, history, palette state,
    // record flag); the copy's raster cache starts empty.
    CDrawImage(const CDrawImage &other);
    ~CDrawImage() override;
    CDrawImage &operator=(const CDrawImage &other);

    // Copies the base part, and the picture when 'other' is a picture object.
    CDrawObject &operator=(const CDrawObject &other) override;
    // Equal: a picture object with an equal base part, histories equal ignoring
    // case, and the same width, height and bit depth.
    bool operator==(const CDrawObject &other) const override;
    // Different: not a picture object, or the base parts differ, or the histories
    // (ignoring case), or the width or height. The bit depth is not compared, so
    // this is not quite the negation of ==.
    bool operator!=(const CDrawObject &other) const override;

    // Each Create replaces the picture. On success the position becomes
    // (0, 0, width, height).
    // Loads the file named by 'pFile' (format from the contents, else the name);
    // returns the loader's result (>= 1 on success). On failure the picture is
    // left empty; a picture too large to hold raises CUserException (see
    // TVFImage::CreateFromFileName) and leaves the object as it was.
    int Create(QFile *pFile);
    // Decodes a picture held in memory; a non-empty 'history' becomes its history.
    // Returns 1 on success, 0 otherwise (picture empty).
    int Create(const unsigned char *data, unsigned long size, const QString &history);
    // A blank standard bitmap (palette of 2^bpp entries copied when given for
    // bpp <= 8). Returns 1, or 0 when no such bitmap can be made.
    int Create(int width, int height, int bpp, const RGBQUAD *palette);

    TVFImage *GetImage() const { return m_pImage.get(); }
    // Position := (0, 0, picture width, picture height).
    void SizeToImage();
    // Bilinear resampling of the picture to w x h, then SizeToImage.
    BOOL Resample(int w, int h);

    CDrawObject *Clone(CDrawDocument *pDoc) override;
    // The picture stretched over the position (no file background).
    void Draw(QPainter *pDC, CDrawView *pView) override;
    // The picture object cannot be moved.
    void Offset(int dx, int dy) override;
    void MoveDelta(CPoint delta, CDrawView *pView) override;
    void AddPropertyPages(QWidget *pSheet) override;
    // Shows the picture's information lines in a list titled "Image info".
    void OnEditProperties(CDrawView *pView) override;

    void Serialize(CArchive &ar) override;

    // How OnEditProperties shows its list: the user interface installs a list
    // dialog (title, lines). Without one the lines go to a message box.
    using InfoListHandler = std::function<void(const QString &title, const QStringList &lines)>;
    static void SetInfoListHandler(InfoListHandler handler);

    // Shows what has been done to the picture, through the history page the
    // user interface installs; without one the history text goes to a
    // message box.
    void ShowHistory();
    using HistoryHandler = std::function<void(TVFImage *image)>;
    static void SetHistoryHandler(HistoryHandler handler);

private:
    void ReplaceImage(std::unique_ptr<TVFImage> image);

    std::unique_ptr<TVFImage> m_pImage; // never null
};
