#include "contracts/overlay/CDrawDocument.h"

#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"

#include <QFileInfo>
#include <QIODevice>

IMPLEMENT_DYNAMIC(CDrawDocument, CObject)

CDrawDocument::CDrawDocument() = default;

CDrawDocument::~CDrawDocument()
{
    // Views outlive nothing of ours: let them forget the selection and the document.
    for (CDrawView *view : std::as_const(m_views)) {
        view->m_selection.clear();
        view->m_pDocument = nullptr;
    }
    m_views.clear();
    qDeleteAll(m_objects);
    m_objects.clear();
}

void CDrawDocument::Add(CDrawObject *pObj, bool)
{
    if (!pObj)
        return;
    m_objects.append(pObj);
    pObj->m_pDocument = this;
    SetModifiedFlag();
    UpdateAllViews(nullptr, CDrawView::HintUpdateObject, pObj);
}

void CDrawDocument::Remove(CDrawObject *pObj)
{
    if (!pObj || !m_objects.contains(pObj))
        return;
    // Repaint where it was while it can still tell where that is.
    UpdateAllViews(nullptr, CDrawView::HintUpdateObject, pObj);
    m_objects.removeAll(pObj);
    ForgetInViews(pObj);
    SetModifiedFlag();
}

void CDrawDocument::RemoveAllObjects()
{
    for (CDrawView *view : std::as_const(m_views)) {
        view->m_selection.clear();
        view->ForgetInTools(nullptr);
    }
    qDeleteAll(m_objects);
    m_objects.clear();
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
}

CDrawObject *CDrawDocument::ObjectAt(const CPoint &point)
{
    CRect probe(point, CSize(1, 1));
    // Last drawn is on top.
    for (auto it = m_objects.crbegin(); it != m_objects.crend(); ++it) {
        CDrawObject *obj = *it;
        if (obj->CanBeSelected() && obj->Intersects(probe))
            return obj;
    }
    return nullptr;
}

void CDrawDocument::SaveActionStart(const QString &) { }

void CDrawDocument::SaveActionGroup(const QString &) { }

void CDrawDocument::SaveActionCancel(const QString &) { }

void CDrawDocument::SaveActionEnd(const QString &) { }

void CDrawDocument::SaveActionStartEnd(const QString &) { }

void CDrawDocument::AddView(CDrawView *pView)
{
    if (!pView || m_views.contains(pView))
        return;
    if (pView->m_pDocument && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_views.append(pView);
    pView->m_pDocument = this;
}

void CDrawDocument::RemoveView(CDrawView *pView)
{
    if (!pView || !m_views.contains(pView))
        return;
    m_views.removeAll(pView);
    pView->m_selection.clear();
    pView->m_pDocument = nullptr;
}

void CDrawDocument::UpdateAllViews(CDrawView *pSender, int nHint, CObject *pHint)
{
    // A copy: a view may detach itself while updating.
    const QList<CDrawView *> views = m_views;
    for (CDrawView *view : views) {
        if (view != pSender)
            view->OnUpdate(pSender, nHint, pHint);
    }
}

void CDrawDocument::SetPathName(const QString &path)
{
    m_strPathName = path;
    SetTitle(QFileInfo(path).fileName());
}

void CDrawDocument::SetTitle(const QString &title)
{
    m_strTitle = title;
}

void CDrawDocument::ForgetInViews(CDrawObject *pObj)
{
    for (CDrawView *view : std::as_const(m_views)) {
        view->m_selection.removeAll(pObj);
        view->ForgetInTools(pObj);
    }
}

// Compound-document part, the last item of a document file:
//   DWORD  number of embedded items, always 0
// A non-zero count is refused with badSchema: embedded items are not supported.
void CDrawDocument::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar << uint32_t(0);
        return;
    }
    uint32_t items = 0;
    ar >> items;
    if (items != 0)
        throw CArchiveException(CArchiveException::badSchema);
}

void CDrawDocument::SerializeObjects(CArchive &ar)
{
    if (ar.IsStoring()) {
        StoreObjectList(ar, m_objects);
        return;
    }
    CDrawObjList loaded;
    CObject *const previous = ar.m_pDocument;
    ar.m_pDocument = this;
    try {
        LoadObjectList(ar, loaded);
    } catch (...) {
        ar.m_pDocument = previous;
        throw;
    }
    ar.m_pDocument = previous;
    RemoveAllObjects();
    m_objects = loaded;
    for (CDrawObject *obj : std::as_const(m_objects))
        obj->m_pDocument = this;
    UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
}

// Object-list form: the count (archive count encoding), then each object with
// WriteObject, so every class is named once and referred back to afterwards.
void CDrawDocument::StoreObjectList(CArchive &ar, const CDrawObjList &list)
{
    ar.WriteCount(uint32_t(list.size()));
    for (const CDrawObject *obj : list)
        ar.WriteObject(obj);
}

void CDrawDocument::LoadObjectList(CArchive &ar, CDrawObjList &list)
{
    const uint32_t count = ar.ReadCount();
    // Every entry takes at least a two-byte tag.
    ar.EnsureAvailable(qint64(count) * 2);
    CDrawObjList loaded;
    try {
        for (uint32_t i = 0; i < count; ++i) {
            // Each entry is owned by the list alone: an entry referring back to
            // an object read before (in the list or outside it) is refused.
            std::unique_ptr<CDrawObject> obj = ar.ReadOwnedObject<CDrawObject>();
            if (!obj)
                continue; // an empty slot carries nothing to draw
            loaded.append(obj.release());
        }
    } catch (...) {
        qDeleteAll(loaded);
        throw;
    }
    list.append(loaded);
}
