#include "imaging/CDrawImage.h"

#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"
#include "platform/Prompts.h"

#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include <utility>

IMPLEMENT_SERIAL(CDrawImage, CDrawObject, VERSIONABLE_SCHEMA | 0)

namespace {
CDrawImage::InfoListHandler &infoListHandler()
{
    static CDrawImage::InfoListHandler handler;
    return handler;
}

CDrawImage::HistoryHandler &historyHandler()
{
    static CDrawImage::HistoryHandler handler;
    return handler;
}

// True when the next object tag refers back to an object read before. The
// picture is owned by its object, so such a reference would share it.

bool sameHistory(const TVFImage &a, const TVFImage &b)
{
    return a.GetPreprocessStr().compare(b.GetPreprocessStr(), Qt::CaseInsensitive) == 0;
}
} // namespace

// The picture draws neither a frame nor a fill of its own; the line weight 1
// and the disabled fill keep the attributes the commands see predictable.
CDrawImage::CDrawImage() : m_pImage(std::make_unique<TVFImage>())
{
    m_nLineWeight = 1;
    m_bFillEnabled = false;
}

CDrawImage::CDrawImage(const CRect &position)
    : CDrawObject(position), m_pImage(std::make_unique<TVFImage>())
{
    m_nLineWeight = 1;
    m_bFillEnabled = false;
}

CDrawImage::CDrawImage(const CDrawImage &other)
    : CDrawObject(other), m_pImage(std::make_unique<TVFImage>(*other.m_pImage))
{ }

CDrawImage::~CDrawImage() = default;

CDrawImage &CDrawImage::operator=(const CDrawImage &other)
{
    if (this == &other)
        return *this;
    CDrawObject::operator=(other);
    *m_pImage = *other.m_pImage;
    return *this;
}

CDrawObject &CDrawImage::operator=(const CDrawObject &other)
{
    if (const auto *image = dynamic_cast<const CDrawImage *>(&other))
        return operator=(*image);
    return CDrawObject::operator=(other);
}

bool CDrawImage::operator==(const CDrawObject &other) const
{
    const auto *image = dynamic_cast<const CDrawImage *>(&other);
    if (!image || !CDrawObject::operator==(other))
        return false;
    const TVFImage &a = *m_pImage;
    const TVFImage &b = *image->m_pImage;
    return sameHistory(a, b) && a.getWidth() == b.getWidth() && a.getHeight() == b.getHeight()
        && a.getBitsPerPixel() == b.getBitsPerPixel();
}

bool CDrawImage::operator!=(const CDrawObject &other) const
{
    const auto *image = dynamic_cast<const CDrawImage *>(&other);
    // The base's != would dispatch back to our ==; compare the base part itself.
    if (!image || !CDrawObject::operator==(other))
        return true;
    const TVFImage &a = *m_pImage;
    const TVFImage &b = *image->m_pImage;
    // The bit depth is left out on purpose: a conversion alone adds a history
    // entry, which is what callers look for.
    return !sameHistory(a, b) || a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight();
}

void CDrawImage::ReplaceImage(std::unique_ptr<TVFImage> image)
{
    m_pImage = std::move(image);
}

int CDrawImage::Create(QFile *pFile)
{
    auto image = std::make_unique<TVFImage>();
    const int result = pFile ? image->CreateFromFileName(pFile->fileName()) : 0;
    ReplaceImage(std::move(image));
    if (result >= 1)
        SizeToImage();
    return result;
}

int CDrawImage::Create(const unsigned char *data, unsigned long size, const QString &history)
{
    auto image = std::make_unique<TVFImage>();
    const int result = image->Load(data, size);
    ReplaceImage(std::move(image));
    if (result >= 1) {
        if (!history.isEmpty())
            m_pImage->SetPreprocessStr(history);
        SizeToImage();
    }
    return result;
}

int CDrawImage::Create(int width, int height, int bpp, const RGBQUAD *palette)
{
    ReplaceImage(std::make_unique<TVFImage>(width, height, bpp, palette));
    SizeToImage();
    // A size or depth the library cannot allocate leaves no picture: say so
    // rather than claim success.
    return m_pImage->isValid() ? 1 : 0;
}

void CDrawImage::SizeToImage()
{
    m_position = CRect(0, 0, int(m_pImage->getWidth()), int(m_pImage->getHeight()));
}

BOOL CDrawImage::Resample(int w, int h)
{
    BOOL ok = FALSE;
    if (w > 0 && h > 0)
        ok = m_pImage->rescale(unsigned(w), unsigned(h));
    SizeToImage();
    return ok;
}

CDrawObject *CDrawImage::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

// Only the part inside the painter's clip is drawn, from the picture's cached
// display image: a large 16-bit gel then costs what the window shows, not
// what the picture holds, on every paint.
void CDrawImage::Draw(QPainter *pDC, CDrawView *pView)
{
    if (!pDC || !pView || !m_pImage->isValid())
        return;
    CRect rect = m_position;
    pView->Logical2Screen(rect, false);
    rect.NormalizeRect();
    if (rect.IsRectEmpty())
        return;
    const QImage &display = m_pImage->getDisplayImage(FALSE);
    if (display.isNull())
        return;
    QRectF target(rect.left, rect.top, rect.Width(), rect.Height());
    QRectF source(0, 0, display.width(), display.height());
    if (pDC->hasClipping()) {
        const QRectF visible = pDC->clipBoundingRect() & target;
        if (visible.isEmpty())
            return;
        // Whole source pixels covering the visible part, and exactly where
        // they land, so the part matches the whole picture pixel for pixel.
        const double sx = source.width() / target.width();
        const double sy = source.height() / target.height();
        const double x0 = std::max(0.0, std::floor((visible.left() - target.left()) * sx));
        const double y0 = std::max(0.0, std::floor((visible.top() - target.top()) * sy));
        const double x1
            = std::min(source.width(), std::ceil((visible.right() - target.left()) * sx));
        const double y1
            = std::min(source.height(), std::ceil((visible.bottom() - target.top()) * sy));
        if (x1 <= x0 || y1 <= y0)
            return;
        source = QRectF(x0, y0, x1 - x0, y1 - y0);
        target = QRectF(target.left() + x0 / sx, target.top() + y0 / sy, (x1 - x0) / sx,
                        (y1 - y0) / sy);
    }
    pDC->save();
    // Nearest neighbour, as the colour-on-colour stretch of the original display.
    pDC->setRenderHint(QPainter::SmoothPixmapTransform, false);
    pDC->drawImage(target, display, source);
    pDC->restore();
}

void CDrawImage::Offset(int, int) { }

void CDrawImage::MoveDelta(CPoint, CDrawView *) { }

void CDrawImage::AddPropertyPages(QWidget *) { }

void CDrawImage::OnEditProperties(CDrawView *)
{
    QStringList lines;
    m_pImage->getImageInfo(lines);
    const QString title = QStringLiteral("Image info");
    if (const InfoListHandler &handler = infoListHandler()) {
        handler(title, lines);
        return;
    }
    Prompts::instance().MessageBox(title + QLatin1Char('\n') + lines.join(QLatin1Char('\n')),
                                   MB_OK | MB_ICONINFORMATION);
}

void CDrawImage::SetInfoListHandler(InfoListHandler handler)
{
    infoListHandler() = std::move(handler);
}

void CDrawImage::ShowHistory()
{
    if (const HistoryHandler &handler = historyHandler()) {
        handler(m_pImage.get());
        return;
    }
    const QString history = m_pImage->GetPreprocessStr();
    Prompts::instance().MessageBox(QStringLiteral("Processing history\n")
                                       + (history.isEmpty() ? QStringLiteral("(none)") : history),
                                   MB_OK | MB_ICONINFORMATION);
}

void CDrawImage::SetHistoryHandler(HistoryHandler handler)
{
    historyHandler() = std::move(handler);
}

// Stored form (schema 0), after the base object's part:
//   CRect     position, 16 bytes (int32 left, top, right, bottom)
//   TVFImage  the picture with WriteObject (class tag, then its own layout)
// A picture record of any other class, or none, is refused (badClass), one that
// refers back to a picture read before is refused (badIndex), a short record
// raises endOfFile.
void CDrawImage::Serialize(CArchive &ar)
{
    CDrawObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_position;
        ar.WriteObject(m_pImage.get());
        return;
    }
    CRect position;
    ar >> position;
    std::unique_ptr<TVFImage> image = ar.ReadOwnedObject<TVFImage>();
    if (!image)
        throw CArchiveException(CArchiveException::badClass);
    m_position = position;
    ReplaceImage(std::move(image));
}
