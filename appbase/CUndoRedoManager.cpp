#include "appbase/CUndoRedoManager.h"

#include "appbase/CDensoraDoc.h"

#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/Exceptions.h"

#include <memory>

CUndoRedoManager::CUndoRedoManager() = default;

CUndoRedoManager::~CUndoRedoManager()
{
    Clear();
}

void CUndoRedoManager::SetDocument(CDensoraDoc *pDoc)
{
    m_pDocument = pDoc;
}

int CUndoRedoManager::Save(const QString &, int action)
{
    switch (action) {
    case Cancel:
        DropPending();
        break;
    case Start:
        DropPending();
        m_pPending = new CDrawObjList;
        break;
    case StartEnd:
        DropPending();
        m_pPending = new CDrawObjList;
        DeleteStorage(GotoStorage(m_nCurrent));
        if (m_pDocument)
            CopyStorage(m_pDocument->GetObjects(), *m_pPending);
        PushPending();
        break;
    case End:
        // Without a Start there is nothing to close.
        if (m_pPending)
            PushPending();
        break;
    case Group:
    default:
        if (m_pPending && m_pDocument)
            CopyStorage(m_pDocument->GetObjects(), *m_pPending);
        break;
    }
    return 1;
}

void CUndoRedoManager::DropPending()
{
    if (!m_pPending)
        return;
    DeleteItems(*m_pPending);
    delete m_pPending;
    m_pPending = nullptr;
}

void CUndoRedoManager::PushPending()
{
    DeleteStorage(GotoStorage(m_nCurrent));
    m_steps.append(m_pPending);
    m_pPending = nullptr;
    ++m_nCurrent;
}

int CUndoRedoManager::Undo()
{
    if (m_nCurrent < 1 || !m_pDocument)
        return 1;
    Exchange(m_nCurrent - 1);
    --m_nCurrent;
    return 1;
}

int CUndoRedoManager::Redo()
{
    if (m_nCurrent >= m_steps.size() || !m_pDocument)
        return 1;
    Exchange(m_nCurrent);
    ++m_nCurrent;
    return 1;
}

// The document takes clones of the step's objects; the step takes the objects
// the document held, which are exactly the state being left. Moving them
// instead of cloning them a second time gives the same contents for one deep
// copy instead of three (every copy clones the picture).
void CUndoRedoManager::Exchange(int index)
{
    if (index < 0 || index >= m_steps.size())
        throw CInvalidArgException();
    CDrawObjList &step = *m_steps[index];
    CDrawObjList restored;
    try {
        CopyStorage(step, restored);
    } catch (...) {
        DeleteItems(restored);
        throw;
    }

    // The selections point at objects that are about to leave the document.
    for (CDrawView *view : m_pDocument->GetViews()) {
        view->DeselectAllObjects();
        view->InvalidateView();
    }

    CDrawObjList &objects = m_pDocument->GetObjects();
    CDrawObjList left = objects;
    objects = restored;
    for (CDrawObject *obj : std::as_const(objects))
        obj->m_pDocument = m_pDocument;
    for (CDrawObject *obj : std::as_const(left))
        obj->m_pDocument = nullptr;

    DeleteItems(step);
    step = left;

    m_pDocument->SetModifiedFlag();
    m_pDocument->UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
}

int CUndoRedoManager::GotoStorage(int n) const
{
    if (n < 0)
        return -1;
    if (n > m_steps.size())
        throw CInvalidArgException();
    return n < m_steps.size() ? n : -1;
}

void CUndoRedoManager::DeleteItems(CDrawObjList &list)
{
    const CDrawObjList objects = list;
    list.clear();
    qDeleteAll(objects);
}

void CUndoRedoManager::DeleteStorage(int position)
{
    if (position < 0 || position >= m_steps.size())
        return;
    while (m_steps.size() > position) {
        std::unique_ptr<CDrawObjList> step(m_steps.takeLast());
        DeleteItems(*step);
    }
    if (m_nCurrent > m_steps.size())
        m_nCurrent = int(m_steps.size());
}

void CUndoRedoManager::CopyStorage(const CDrawObjList &from, CDrawObjList &to)
{
    for (CDrawObject *obj : from) {
        if (!obj)
            continue;
        CDrawObject *clone = obj->Clone(nullptr);
        // A copy made from a document's object still names that document.
        clone->m_pDocument = nullptr;
        to.append(clone);
    }
}

void CUndoRedoManager::Clear()
{
    DropPending();
    DeleteStorage(0);
    m_nCurrent = 0;
}
