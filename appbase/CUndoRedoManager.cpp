#include "appbase/CUndoRedoManager.h"

#include "appbase/CDensoraDoc.h"

#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/Exceptions.h"

#include <utility>

void CUndoRedoManager::SnapshotDeleter::operator()(CDrawObjList *pList) const
{
    DeleteItems(*pList);
    delete pList;
}

CUndoRedoManager::CUndoRedoManager() = default;

CUndoRedoManager::~CUndoRedoManager()
{
    Clear();
}

CUndoRedoManager::Snapshot CUndoRedoManager::NewSnapshot()
{
    return Snapshot(new CDrawObjList);
}

void CUndoRedoManager::SetDocument(CDensoraDoc *pDoc)
{
    m_pDocument = pDoc;
}

int CUndoRedoManager::Save(const QString &caption, int action)
{
    switch (action) {
    case Cancel:
        DropPending();
        break;
    case Start:
        DropPending();
        m_pending = Step {NewSnapshot(), caption, nullptr};
        break;
    case StartEnd:
        DropPending();
        m_pending = Step {NewSnapshot(), caption, nullptr};
        DeleteStorage(GotoStorage(m_nCurrent));
        if (m_pDocument) {
            CopyStorage(m_pDocument->GetObjects(), *m_pending.objects);
            m_pending.state = m_pDocument->CaptureUndoState();
        }
        PushPending();
        break;
    case End:
        // Without a Start there is nothing to close.
        if (HasPendingAction())
            PushPending();
        break;
    case Group:
    default:
        if (HasPendingAction() && m_pDocument) {
            CopyStorage(m_pDocument->GetObjects(), *m_pending.objects);
            // The state as it was when the objects were first taken.
            if (!m_pending.state)
                m_pending.state = m_pDocument->CaptureUndoState();
        }
        break;
    }
    return 1;
}

void CUndoRedoManager::DropPending()
{
    m_pending = Step {};
}

void CUndoRedoManager::PushPending()
{
    DeleteStorage(GotoStorage(m_nCurrent));
    m_steps.push_back(std::exchange(m_pending, Step {}));
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
    if (m_nCurrent >= StepCount() || !m_pDocument)
        return 1;
    Exchange(m_nCurrent);
    ++m_nCurrent;
    return 1;
}

QString CUndoRedoManager::GetUndoCaption() const
{
    return CanUndo() ? m_steps[m_nCurrent - 1].caption : QString();
}

QString CUndoRedoManager::GetRedoCaption() const
{
    return CanRedo() ? m_steps[m_nCurrent].caption : QString();
}

// The document takes clones of the step's objects; the step takes the objects
// the document held, which are exactly the state being left. Moving them
// instead of cloning them a second time gives the same contents for one deep
// copy instead of three (every copy clones the picture).
void CUndoRedoManager::Exchange(int index)
{
    if (index < 0 || index >= StepCount())
        throw CInvalidArgException();
    CDrawObjList &step = *m_steps[index].objects;
    // A copy that fails half-way destroys what it made with the snapshot.
    Snapshot restored = NewSnapshot();
    CopyStorage(step, *restored);
    std::unique_ptr<DocumentState> leftState = m_pDocument->CaptureUndoState();

    // The selections and the tools point at objects that are about to leave
    // the document.
    for (CDrawView *view : m_pDocument->GetViews()) {
        view->DeselectAllObjects();
        view->ForgetInTools(nullptr);
        view->InvalidateView();
    }

    CDrawObjList &objects = m_pDocument->GetObjects();
    // The document owns the restored objects from here on.
    const CDrawObjList left = std::exchange(objects, std::exchange(*restored, {}));
    for (CDrawObject *obj : std::as_const(objects))
        obj->m_pDocument = m_pDocument;
    for (CDrawObject *obj : left)
        obj->m_pDocument = nullptr;

    DeleteItems(step);
    step = left;
    // The document's own state follows its objects (an analysis reads its
    // area and picture from them).
    m_pDocument->RestoreUndoState(m_steps[index].state.get());
    m_steps[index].state = std::move(leftState);

    m_pDocument->SetModifiedFlag();
    m_pDocument->UpdateAllViews(nullptr, CDrawView::HintUpdateAll, nullptr);
}

int CUndoRedoManager::GotoStorage(int n) const
{
    if (n < 0)
        return -1;
    if (n > StepCount())
        throw CInvalidArgException();
    return n < StepCount() ? n : -1;
}

void CUndoRedoManager::DeleteItems(CDrawObjList &list)
{
    const CDrawObjList objects = list;
    list.clear();
    qDeleteAll(objects);
}

void CUndoRedoManager::DeleteStorage(int position)
{
    if (position < 0 || position >= StepCount())
        return;
    // Newest first.
    while (StepCount() > position)
        m_steps.pop_back();
    if (m_nCurrent > StepCount())
        m_nCurrent = StepCount();
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
