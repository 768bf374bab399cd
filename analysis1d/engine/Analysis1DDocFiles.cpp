// Opening and saving the analysis document: the document file (".dsr"), the
// picture in an image format, and overlay templates (".ovl").

#include "analysis1d/engine/Analysis1DDoc.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "contracts/overlay/CDrawView.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"
#include "platform/SaveFileCommit.h"

#include <FreeImagePlus.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace {

constexpr int kHeaderSize = CDensoraDoc::kFileHeaderSize;
// Marker at offset 8 of a document that carries an analysis.
constexpr int32_t kAnalysisMarker = 30000;
// The one image format that keeps 16-bit grey samples.
constexpr int kHighBitDepthType = FIF_TIFF;

const QString kEarlierVersion
    = QStringLiteral("This file is an earlier version and is no longer supported");

void putInt32(uint8_t *at, int32_t value)
{
    std::memcpy(at, &value, sizeof value);
}

void tell(const QString &text)
{
    Prompts::instance().MessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

const QString Analysis1DDoc::kDocumentSaveFilter = QStringLiteral("Densora File (*.dsr):*.dsr:");
const QString Analysis1DDoc::kImageSaveFilter = QStringLiteral(
    "TIFF File (*.tif):*.tif:Bitmap File (*.bmp):*.bmp:ZSoft PCX File (*.pcx):*.pcx:GIF File "
    "(*.gif):*.gif:PNG File (*.png):*.png: PhotoShop File (*.psd):*.psd:Sun RAS File "
    "(*.ras):*.ras:JPEG File (*.jpg):*.jpg::");
const QString Analysis1DDoc::kTemplateSaveFilter
    = QStringLiteral("Overlay template Files (*.ovl):*.ovl:");
const QString Analysis1DDoc::kTemplateOpenFilter
    = QStringLiteral("Tempalte overlay files (*.ovl)|*.ovl||");

// The stored filters alternate description and pattern; the descriptions
// already name their patterns, which is all a Qt file dialog needs.
QString Analysis1DDoc::DialogFilter(const QString &storedFilter, QChar separator)
{
    const QStringList parts = storedFilter.split(separator);
    QStringList descriptions;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (!description.isEmpty())
            descriptions << description;
    }
    return descriptions.join(QStringLiteral(";;"));
}

// --- archive ---------------------------------------------------------------------

void Analysis1DDoc::Serialize(CArchive &ar)
{
    const int type = GetFileType(ar.GetFile());
    if (type == DensoraFileType)
        SerializeDensoraFileFormat(ar);
    else
        SerializeImageFileFormats(ar, type);
}

// Document file:
//   16-byte header: 0x21 0x0B, u8 version 2, u8 0, u8 1 when the list holds
//                   more than one object, u8 1 with an analysis, u16 0,
//                   int32 30000 with an analysis else 0, int32 0
//   the object list (the picture first, then the overlay objects)
//   the analysis in place, when header byte 5 is 1
//   the drawing document's trailing part (embedded-item count 0)
void Analysis1DDoc::SerializeDensoraFileFormat(CArchive &ar)
{
    if (ar.IsLoading()) {
        LoadDensoraFileFormat(ar);
        return;
    }
    uint8_t header[kHeaderSize] = {};
    kDocumentSignature.WriteTo(header);
    header[4] = GetObjects().size() > 1 ? 1 : 0;
    header[5] = m_pAnalysis ? 1 : 0;
    putInt32(header + 8, m_pAnalysis ? kAnalysisMarker : 0);
    ar.Write(header, kHeaderSize);
    StoreObjectList(ar, GetObjects());
    if (m_pAnalysis) {
        m_pAnalysis->SetAnalysisDocument(this);
        m_pAnalysis->Serialize(ar);
    }
    CDensoraDoc::Serialize(ar);
}

// A file of another version (an overlay template among them) is refused after
// telling the user: reading on would take its contents for a document.
void Analysis1DDoc::LoadDensoraFileFormat(CArchive &ar)
{
    uint8_t header[kHeaderSize] = {};
    ar.Read(header, kHeaderSize);
    if (!kDocumentSignature.IsMarkedBy(header)) {
        tell(kEarlierVersion);
        throw CUserException();
    }
    SetAnalysis(nullptr);
    SerializeObjects(ar);
    if (header[5] != 0) {
        // An analysis we cannot read would misalign everything after it.
        if (const std::optional<int> version = Analysis::PeekStoredVersion(ar)) {
            if (*version < 2) {
                tell(kEarlierVersion);
                throw CUserException();
            }
            if (*version > Analysis1D::kCurrentVersion) {
                tell(QStringLiteral("This file was saved by a newer version of the program and "
                                    "cannot be opened"));
                throw CUserException();
            }
        }
        // A failed read leaves the analysis to RestoreContents.
        CreateAnalysis()->Serialize(ar);
        UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    }
    CDensoraDoc::Serialize(ar);
}

// Image formats: loading makes the file's picture the document's only object;
// storing writes the picture encoded in the format asked for.
void Analysis1DDoc::SerializeImageFileFormats(CArchive &ar, int fileType)
{
    if (ar.IsLoading()) {
        auto *file = qobject_cast<QFile *>(ar.GetFile());
        if (!file || fileType < 0)
            throw CArchiveException(CArchiveException::badClass);
        SetAnalysis(nullptr);
        if (CreateImageObject(file) <= 0)
            throw CArchiveException(CArchiveException::badClass);
        return;
    }
    TVFImage *image = GetImage();
    if (!image || !image->isValid() || fileType < 0)
        throw CFileException(CFileException::genericException);
    const auto fif = FREE_IMAGE_FORMAT(fileType);
    const FREE_IMAGE_TYPE type = image->getImageType();
    if (!FreeImage_FIFSupportsWriting(fif) || !FreeImage_FIFSupportsExportType(fif, type)
        || (type == FIT_BITMAP
            && !FreeImage_FIFSupportsExportBPP(fif, int(image->getBitsPerPixel()))))
        throw CFileException(CFileException::genericException);
    const QByteArray bytes = image->encode(fif);
    if (bytes.isEmpty())
        throw CFileException(CFileException::genericException);
    ar.Write(bytes.constData(), qint64(bytes.size()));
}

// --- opening and saving -------------------------------------------------------------

void Analysis1DDoc::DeleteContents()
{
    SetAnalysis(nullptr);
    CDensoraDoc::DeleteContents();
}

bool Analysis1DDoc::OnOpenDocument(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(kOpenFailedText);
        return false;
    }
    // Neither a document nor a picture: refused before anything is touched.
    if (GetFileType(&file) < 0) {
        tell(kUnexpectedFormatText);
        return false;
    }
    file.close();
    if (!CDensoraDoc::OnOpenDocument(path))
        return false;
    m_nSaveAsRequired = 1;
    return true;
}

// The analysis is set aside with the objects it reads its shapes from.
struct Analysis1DDoc::AnalysisSetAside : SetAside
{
    std::unique_ptr<Analysis1D> analysis;
};

std::unique_ptr<CDensoraDoc::SetAside> Analysis1DDoc::SetContentsAside()
{
    auto aside = std::make_unique<AnalysisSetAside>();
    aside->objects = m_objects;
    m_objects.clear();
    aside->analysis = std::move(m_pAnalysis);
    return aside;
}

void Analysis1DDoc::RestoreContents(std::unique_ptr<SetAside> aside)
{
    SetAnalysis(nullptr); // whatever the failed read built
    m_pAnalysis = std::move(static_cast<AnalysisSetAside *>(aside.get())->analysis);
    CDensoraDoc::RestoreContents(std::move(aside));
}

void Analysis1DDoc::DiscardContents(std::unique_ptr<SetAside> aside)
{
    // The analysis goes before the objects it reads its shapes from.
    static_cast<AnalysisSetAside *>(aside.get())->analysis.reset();
    CDensoraDoc::DiscardContents(std::move(aside));
}

bool Analysis1DDoc::OnSaveDocument(const QString &path)
{
    const int type = GetFileType(path);
    // A name without an extension names no format (0 would read as BMP).
    if (type < 0 || QFileInfo(path).suffix().isEmpty())
        return false;
    if (type == DensoraFileType) {
        if (!CDensoraDoc::OnSaveDocument(path))
            return false;
        m_nSaveAsRequired = 0;
        return true;
    }
    const CDrawObjList &objects = GetObjects();
    if (objects.size() >= 2) {
        tell(QStringLiteral(
            "Please chose DSR file format to save documents containing Overlay or analysis"));
        return false;
    }
    if (objects.isEmpty() || !GetDrawImage()) {
        tell(QStringLiteral(
            "There are no images on the screen to %1! be saved in that file format"));
        return false;
    }
    return CDensoraDoc::OnSaveDocument(path);
}

bool Analysis1DDoc::OnFileSave()
{
    const QString &path = GetPathName();
    if (m_nSaveAsRequired == 0) {
        if (!path.isEmpty() && GetFileType(path) == DensoraFileType)
            return OnSaveDocument(path);
        // A new, empty document: there is nothing to save.
        if (!DocContainsOverlayObjects() && GetFileName().isEmpty())
            return false;
    }
    return OnFileSaveAs();
}

bool Analysis1DDoc::OnFileSaveAs()
{
    const bool documentOnly = DocContainsOverlayObjects() || m_pAnalysis;
    const QString filter = documentOnly ? DialogFilter(kDocumentSaveFilter, QLatin1Char(':'))
                                        : DialogFilter(kImageSaveFilter, QLatin1Char(':'));
    QString suggested = QFileInfo(GetPathName()).completeBaseName();
    if (suggested.isEmpty())
        suggested = GetTitle();
    const QString path
        = Prompts::instance().AskSaveFile(QStringLiteral("Save As"), filter, suggested);
    if (path.isEmpty())
        return false;
    const int type = GetFileType(path);
    TVFImage *image = GetImage();
    if (image && image->isHighResGrayscale() && type != DensoraFileType
        && type != kHighBitDepthType) {
        if (Prompts::instance().MessageBox(
                QStringLiteral("the file type you selected does not support high bit depth "
                               "format, convert to 8 bit?"),
                MB_OKCANCEL | MB_ICONQUESTION)
            != IDOK)
            return false;
        if (!image->convertTo8Bits())
            return false;
        UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    }
    return OnSaveDocument(path);
}

// --- overlay templates -----------------------------------------------------------------

// Overlay template:
//   16-byte header: 0x34 0x0B, u8 version 1, u8 0, u8 1, u8 1 with an
//                   analysis, then zeros
//   the object list: every object but the picture
//   int32 objects-lighter flag, only with an analysis
bool Analysis1DDoc::OnFileSaveOverlayAs()
{
    CDrawObjList overlay;
    for (CDrawObject *obj : GetObjects()) {
        if (!obj->IsKindOf(RUNTIME_CLASS(CDrawImage)))
            overlay.append(obj);
    }
    if (overlay.isEmpty()) {
        tell(QStringLiteral("There aren't any overlay objects to save!"));
        return false;
    }
    const QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Save Overlay Template"),
        DialogFilter(kTemplateSaveFilter, QLatin1Char(':')), QStringLiteral("Template"));
    if (path.isEmpty())
        return false;

    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        try {
            uint8_t header[kHeaderSize] = {};
            kTemplateSignature.WriteTo(header);
            header[4] = 1;
            header[5] = m_pAnalysis ? 1 : 0;
            CArchive ar(&file, CArchive::store);
            ar.m_pDocument = this;
            ar.Write(header, kHeaderSize);
            StoreObjectList(ar, overlay);
            if (m_pAnalysis)
                ar << int32_t(m_pAnalysis->GetWhiteOnBlack());
            ar.Close();
        } catch (const CException &) {
            ok = false;
        } catch (const std::bad_alloc &) {
            ok = false;
        }
        if (ok)
            ok = commitSaveFile(file);
        else
            file.cancelWriting();
    }
    if (!ok) {
        tell(kSaveFailedText);
        return false;
    }
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    return true;
}

// An overlay template as read from its file; the objects read are ours until
// destroyed.
struct Analysis1DDoc::OverlayTemplate
{
    ~OverlayTemplate() { DestroyObjects(); }
    void DestroyObjects()
    {
        qDeleteAll(objects);
        objects.clear();
    }

    CDrawObjList objects;
    bool hasAnalysis = false;
    int32_t objectsLighter = 1;
};

// The template is read completely before anything is added, so a damaged file
// changes nothing.
bool Analysis1DDoc::OnFileLoadOverlay()
{
    const QString path
        = Prompts::instance().AskOpenFile(QStringLiteral("Load Overlay Template"),
                                          DialogFilter(kTemplateOpenFilter, QLatin1Char('|')));
    if (path.isEmpty())
        return false;
    return LoadOverlayTemplate(path);
}

bool Analysis1DDoc::LoadOverlayTemplate(const QString &path)
{
    OverlayTemplate loaded;
    if (!ReadOverlayTemplate(path, &loaded))
        return false;

    SaveActionStartEnd(QStringLiteral("Analysis1DDoc::OnFileLoadOverlay"));
    const CDrawObjList added = AddTemplateObjects(loaded.objects);
    loaded.DestroyObjects(); // the document has its copies
    if (loaded.hasAnalysis)
        OfferTemplateAnalysis(added, loaded.objectsLighter);
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    return true;
}

bool Analysis1DDoc::ReadOverlayTemplate(const QString &path, OverlayTemplate *pOut)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(kOpenFailedText);
        return false;
    }
    try {
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = this;
        uint8_t header[kHeaderSize] = {};
        ar.Read(header, kHeaderSize);
        if (!kTemplateSignature.Matches(header)) {
            tell(kUnexpectedFormatText);
            return false;
        }
        LoadObjectList(ar, pOut->objects);
        pOut->hasAnalysis = header[5] != 0;
        if (pOut->hasAnalysis)
            ar >> pOut->objectsLighter;
    } catch (const CException &) {
        tell(kUnexpectedFormatText);
        return false;
    } catch (const std::bad_alloc &) {
        tell(kUnexpectedFormatText);
        return false;
    }
    return true;
}

CDrawObjList Analysis1DDoc::AddTemplateObjects(const CDrawObjList &objects)
{
    CDrawObjList added;
    for (CDrawObject *obj : objects) {
        if (!obj->IsKindOf(RUNTIME_CLASS(CDrawImage)))
            added.append(obj->Clone(this));
    }
    return added;
}

// When the template's analysis area does not fit the picture, the analysis
// shapes the template brought are taken out again (and only those: shapes the
// document had before stay).
void Analysis1DDoc::OfferTemplateAnalysis(const CDrawObjList &added, int objectsLighter)
{
    const AnalysisArea *area = GetAnalysisArea();
    const ExampleBand *example = GetExampleBand();
    if (!area || !example) {
        tell(QStringLiteral("This file appears to be corrupt, analysis flag is set but no "
                            "analysis area was found!"));
        return;
    }
    Prompts::instance().MessageBox(
        QStringLiteral("Press OK to create an analysis based on the template you have chosen!"),
        MB_OK | MB_ICONINFORMATION);
    if (!LiesOnPicture(area->m_position)) {
        tell(QStringLiteral("The template you selected contains analysis objects which are "
                            "larger than your current image.  No analysis will be created!"));
        RemoveAnalysisShapes(added);
        return;
    }
    CreateTemplateAnalysis(area->m_position, example->m_position, objectsLighter);
}

// The analysis image is cut from the picture under the area: the whole area
// must lie on it.
bool Analysis1DDoc::LiesOnPicture(CRect rect) const
{
    const TVFImage *image = GetImage();
    rect.NormalizeRect();
    const int width = image && image->isValid() ? int(image->getWidth()) : 0;
    const int height = image && image->isValid() ? int(image->getHeight()) : 0;
    return rect.left >= 0 && rect.top >= 0 && rect.right <= width && rect.bottom <= height;
}

void Analysis1DDoc::RemoveAnalysisShapes(const CDrawObjList &objects)
{
    for (CDrawObject *obj : objects) {
        if (obj->IsKindOf(RUNTIME_CLASS(AnalysisArea)) || obj->IsKindOf(RUNTIME_CLASS(ExampleBand))
            || obj->IsKindOf(RUNTIME_CLASS(UserDrawnBand)) || obj->IsKindOf(RUNTIME_CLASS(DyeFront))
            || obj->IsKindOf(RUNTIME_CLASS(LoadingWells)))
            RemoveAndDestroy(obj);
    }
}

void Analysis1DDoc::CreateTemplateAnalysis(const CRect &area, const CRect &exampleBand,
                                           int objectsLighter)
{
    Analysis1D *created = CreateAnalysis();
    created->SetWhiteOnBlack(objectsLighter);
    created->CreateAnalysisImage(area, objectsLighter);
    created->CreateBGImage(exampleBand);
}
