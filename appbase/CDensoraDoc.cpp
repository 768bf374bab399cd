#include "appbase/CDensoraDoc.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"
#include "platform/SaveFileCommit.h"

#include <FreeImage.h>

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <new>

IMPLEMENT_DYNCREATE(CDensoraDoc, CDrawDocument)

namespace {
CDensoraDoc::FrameStyle *g_pFrameStyle = nullptr;

const QString kZoomSuffixStart = QStringLiteral(" - [");

// A document or an overlay template: bytes 0 and 2 decide.
bool hasDocumentSignature(const QByteArray &head)
{
    if (head.size() < 3)
        return false;
    const auto *bytes = reinterpret_cast<const uint8_t *>(head.constData());
    return CDensoraDoc::kDocumentSignature.IsMarkedBy(bytes)
        || CDensoraDoc::kTemplateSignature.IsMarkedBy(bytes);
}

// Reads up to 'size' bytes from the start of a readable device and puts the
// position back.
QByteArray readFromStart(QIODevice *device, qint64 size)
{
    if (device->isSequential())
        return device->peek(size); // only meaningful before anything was read
    const qint64 pos = device->pos();
    QByteArray bytes;
    if (device->seek(0))
        bytes = device->read(size);
    device->seek(pos);
    return bytes;
}

// Image format of a device that is not a named file: FreeImage looks at the
// leading bytes only.
int imageTypeFromDevice(QIODevice *device)
{
    constexpr qint64 kProbeSize = 64 * 1024;
    QByteArray bytes = readFromStart(device, kProbeSize);
    if (bytes.isEmpty())
        return FIF_UNKNOWN;
    FIMEMORY *memory
        = FreeImage_OpenMemory(reinterpret_cast<BYTE *>(bytes.data()), DWORD(bytes.size()));
    if (!memory)
        return FIF_UNKNOWN;
    const int fif = fipWinImage::detectMemoryType(memory);
    FreeImage_CloseMemory(memory);
    return fif;
}
} // namespace

const QString CDensoraDoc::kOpenFailedText = QStringLiteral("Failed to open document.");
const QString CDensoraDoc::kUnexpectedFormatText = QStringLiteral("Unexpected file format.");
const QString CDensoraDoc::kSaveFailedText = QStringLiteral("Failed to save document.");

void CDensoraDoc::SetFrameStyle(FrameStyle *pStyle)
{
    g_pFrameStyle = pStyle;
}

CDensoraDoc::FrameStyle *CDensoraDoc::GetFrameStyle()
{
    return g_pFrameStyle;
}

CDensoraDoc::CDensoraDoc()
{
    m_undoRedoManager.SetDocument(this);
}

CDensoraDoc::~CDensoraDoc()
{
    // The steps go first: they hold clones only, never the document's objects.
    m_undoRedoManager.Clear();
}

// --- objects -----------------------------------------------------------------

void CDensoraDoc::Add(CDrawObject *pObj, bool bFrameStyle)
{
    if (!pObj)
        return;
    if (bFrameStyle && g_pFrameStyle) {
        // -1 means nothing is chosen on the ribbon: keep the object's own colour.
        const long color = g_pFrameStyle->GetLineColor();
        if (color >= 0)
            pObj->SetLineColor(COLORREF(color), false);
        const int weight = g_pFrameStyle->GetLineWeight();
        if (weight > 0) {
            pObj->EnableLine(true, false);
            pObj->SetLineWeight(weight, false);
        }
    }
    CDrawDocument::Add(pObj, bFrameStyle);
}

CDrawImage *CDensoraDoc::GetDrawImage() const
{
    if (m_objects.isEmpty())
        return nullptr;
    return dynamic_cast<CDrawImage *>(m_objects.first());
}

TVFImage *CDensoraDoc::GetImage() const
{
    const CDrawImage *image = GetDrawImage();
    return image ? image->GetImage() : nullptr;
}

bool CDensoraDoc::DocContainsOverlayObjects() const
{
    return m_objects.size() > 1;
}

// Degenerate rectangles (straight lines) count too: the document must reach
// every object, however thin.
CRect CDensoraDoc::GetDocRect() const
{
    CRect doc(0, 0, 1, 1);
    for (const CDrawObject *obj : m_objects) {
        CRect r = obj->GetPosition();
        r.NormalizeRect();
        doc.left = std::min(doc.left, r.left);
        doc.top = std::min(doc.top, r.top);
        doc.right = std::max(doc.right, r.right);
        doc.bottom = std::max(doc.bottom, r.bottom);
    }
    return doc;
}

int CDensoraDoc::CreateImageObject(QFile *pFile)
{
    RemoveAllObjects();
    auto image = std::make_unique<CDrawImage>();
    const int result = image->Create(pFile);
    if (result > 0)
        Add(image.release(), false);
    return result;
}

// --- files -------------------------------------------------------------------

int CDensoraDoc::GetFileType(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    if (name.mid(dot + 1).compare(QLatin1String("DSR"), Qt::CaseInsensitive) == 0)
        return DensoraFileType;
    return TVFImage::GetFileType(name);
}

int CDensoraDoc::GetFileType(QIODevice *pFile)
{
    if (!pFile)
        return FIF_UNKNOWN;
    auto *fileDevice = qobject_cast<QFileDevice *>(pFile);
    const QString name = fileDevice ? fileDevice->fileName() : QString();

    bool openedHere = false;
    if (!pFile->isOpen()) {
        auto *file = qobject_cast<QFile *>(pFile);
        if (file && !name.isEmpty() && file->open(QIODevice::ReadOnly))
            openedHere = true;
        else
            return name.isEmpty() ? FIF_UNKNOWN : GetFileType(name);
    }
    // A file being written has no contents to look at yet; its name says what
    // it is meant to be.
    if (!pFile->isReadable())
        return name.isEmpty() ? FIF_UNKNOWN : GetFileType(name);

    int type = FIF_UNKNOWN;
    if (hasDocumentSignature(readFromStart(pFile, 16))) {
        type = DensoraFileType;
    } else if (auto *file = qobject_cast<QFile *>(pFile); file && !name.isEmpty()) {
        type = TVFImage::GetFileType(file);
    } else {
        type = imageTypeFromDevice(pFile);
    }
    if (openedHere)
        pFile->close();
    return type;
}

QString CDensoraDoc::GetFileName() const
{
    return QFileInfo(m_strPathName).fileName();
}

// The zoom suffix is cut where it starts (" - ["), not at the first "-": file
// names with a hyphen keep their name.
void CDensoraDoc::SetTitleWithZoom(float zoom)
{
    QString title = GetTitle();
    if (title.isEmpty())
        return;
    const int cut = title.indexOf(kZoomSuffixStart);
    if (cut >= 0)
        title.truncate(cut);
    title = title.trimmed();
    title += QString::asprintf(" - [at zoom factor %0.2f]", double(zoom));
    SetTitle(title);
}

// --- opening and saving ----------------------------------------------------------

void CDensoraDoc::DeleteContents()
{
    // The history of the previous contents would restore objects of another file.
    m_undoRedoManager.Clear();
    RemoveAllObjects();
}

bool CDensoraDoc::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    SetTitle(QStringLiteral("Untitled"));
    SetModifiedFlag(false);
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    return true;
}

bool CDensoraDoc::OnOpenDocument(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::instance().MessageBox(kOpenFailedText, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::unique_ptr<SetAside> aside = SetContentsAside();
    QString failure;
    bool reported = false;
    try {
        WaitCursor wait;
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
    } catch (const CUserException &) {
        reported = true; // whoever threw it has told the user
    } catch (const CArchiveException &) {
        failure = kUnexpectedFormatText;
    } catch (const CException &) {
        failure = kOpenFailedText;
    } catch (const std::bad_alloc &) {
        failure = kOpenFailedText;
    }
    if (reported || !failure.isNull()) {
        RestoreContents(std::move(aside));
        UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
        if (!reported)
            Prompts::instance().MessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DiscardContents(std::move(aside));
    // The history of the previous contents would restore objects of another file.
    m_undoRedoManager.Clear();
    SetPathName(path);
    SetModifiedFlag(false);
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
    return true;
}

std::unique_ptr<CDensoraDoc::SetAside> CDensoraDoc::SetContentsAside()
{
    auto aside = std::make_unique<SetAside>();
    // The objects keep pointing at this document, so they can simply be put back.
    aside->objects = m_objects;
    m_objects.clear();
    return aside;
}

void CDensoraDoc::RestoreContents(std::unique_ptr<SetAside> aside)
{
    for (CDrawObject *obj : std::as_const(m_objects))
        ForgetInViews(obj);
    qDeleteAll(m_objects);
    m_objects = aside->objects;
}

void CDensoraDoc::DiscardContents(std::unique_ptr<SetAside> aside)
{
    for (CDrawObject *obj : std::as_const(aside->objects))
        ForgetInViews(obj);
    qDeleteAll(aside->objects);
}

bool CDensoraDoc::OnSaveDocument(const QString &path)
{
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target on commit only.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Prompts::instance().MessageBox(kSaveFailedText, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    bool reported = false;
    bool ok = true;
    try {
        WaitCursor wait;
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
    } catch (const CUserException &) {
        reported = true; // whoever threw it has told the user
        ok = false;
    } catch (const CException &) {
        ok = false;
    } catch (const std::bad_alloc &) {
        ok = false;
    }
    if (ok)
        ok = commitSaveFile(file);
    else
        file.cancelWriting();
    if (!ok) {
        if (!reported)
            Prompts::instance().MessageBox(kSaveFailedText, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

// --- undo and redo -------------------------------------------------------------------

void CDensoraDoc::SaveAction(const QString &caption, CUndoRedoManager::enAction action)
{
    m_undoRedoManager.Save(caption, action);
}

void CDensoraDoc::SaveActionStart(const QString &caption)
{
    SaveAction(caption, CUndoRedoManager::Start);
}

void CDensoraDoc::SaveActionGroup(const QString &caption)
{
    SaveAction(caption, CUndoRedoManager::Group);
}

void CDensoraDoc::SaveActionCancel(const QString &caption)
{
    SaveAction(caption, CUndoRedoManager::Cancel);
}

void CDensoraDoc::SaveActionEnd(const QString &caption)
{
    SaveAction(caption, CUndoRedoManager::End);
}

void CDensoraDoc::SaveActionStartEnd(const QString &caption)
{
    SaveAction(caption, CUndoRedoManager::StartEnd);
}

bool CDensoraDoc::CanUndo() const
{
    return m_undoRedoManager.CanUndo();
}

bool CDensoraDoc::CanRedo() const
{
    return m_undoRedoManager.CanRedo();
}

void CDensoraDoc::Undo()
{
    m_undoRedoManager.Undo();
}

void CDensoraDoc::Redo()
{
    m_undoRedoManager.Redo();
}

const CUndoRedoManager::StepList &CDensoraDoc::GetActionStorage() const
{
    return m_undoRedoManager.GetActionStorage();
}
