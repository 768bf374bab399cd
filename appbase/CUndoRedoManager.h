#pragma once

// Undo and redo over a document's object list by whole snapshots. A step is a
// deep copy of every object as it was before a change; undo and redo exchange
// the document's objects with a stored step, so the same step then holds the
// state just left and serves the other direction.
//
// Recording: a one-shot change calls StartEnd just before it modifies the
// objects. A change spread over several events calls Start, then Group while
// the objects are still unchanged, then End when the change is complete, or
// Cancel to drop it. End and Group without a Start are ignored.

#include "contracts/overlay/CDrawObjList.h"

#include <QString>

#include <memory>
#include <vector>

class CDensoraDoc;

class CUndoRedoManager
{
public:
    enum enAction { Start = 0, End = 1, StartEnd = 2, Group = 3, Cancel = 4 };

    // Destroys the objects of a snapshot, then the list.
    struct SnapshotDeleter
    {
        void operator()(CDrawObjList *pList) const;
    };
    // Clones that belong to the manager alone: destroying the snapshot destroys
    // its objects.
    using Snapshot = std::unique_ptr<CDrawObjList, SnapshotDeleter>;
    // What a document keeps beside its object list (an analysis with its lanes
    // and bands), taken with the objects of each step and put back with them.
    // The document makes and reads it (CDensoraDoc::CaptureUndoState).
    class DocumentState
    {
    public:
        virtual ~DocumentState() = default;
    };
    // One step: the objects as they were before an operation, the document's
    // own state of that moment (null when it keeps none), and the caption the
    // operation was opened with ("Delete Band"). The caption names the
    // operation in both directions: "Undo Delete Band", then "Redo Delete Band".
    struct Step
    {
        Snapshot objects;
        QString caption;
        std::unique_ptr<DocumentState> state;
    };
    // The steps, oldest first.
    using StepList = std::vector<Step>;

    CUndoRedoManager();
    ~CUndoRedoManager();
    CUndoRedoManager(const CUndoRedoManager &) = delete;
    CUndoRedoManager &operator=(const CUndoRedoManager &) = delete;

    void SetDocument(CDensoraDoc *pDoc);
    CDensoraDoc *GetDocument() const { return m_pDocument; }

    // Records an action; any value other than the five acts as Group. The
    // caption of Start and StartEnd becomes the step's caption; the captions of
    // the other actions are not kept. Returns 1.
    int Save(const QString &caption, int action);

    // Exchange the document's objects with the step before (Undo) or at (Redo)
    // the current one. Nothing happens when there is no such step. Return 1.
    int Undo();
    int Redo();
    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent < StepCount(); }
    // Caption of the step Undo (Redo) would exchange; empty when there is none.
    QString GetUndoCaption() const;
    QString GetRedoCaption() const;

    const StepList &GetActionStorage() const { return m_steps; }
    // Number of steps that can be undone; steps from this index on are redo steps.
    int GetCurrent() const { return m_nCurrent; }
    // Whether a Start is waiting for its End or Cancel.
    bool HasPendingAction() const { return m_pending.objects != nullptr; }

    // Position (index) of step n, or -1 for n < 0 and for n equal to the number of
    // steps (just past the last). CInvalidArgException when n is beyond that.
    int GotoStorage(int n) const;
    // Destroys every object of the list and empties it (the list itself stays).
    static void DeleteItems(CDrawObjList &list);
    // Destroys the step at 'position' and every later one; nothing for -1.
    void DeleteStorage(int position);
    // Appends to 'to' a clone of every object of 'from', in order. The clones
    // belong to no document.
    static void CopyStorage(const CDrawObjList &from, CDrawObjList &to);
    // Forgets every step and any pending action (a new document's history is empty).
    void Clear();

    // Kept for callers that query it; the actions do not consult it.
    bool IsEnabled() const { return m_bEnabled != 0; }
    void Enable(bool bEnable) { m_bEnabled = bEnable ? 1 : 0; }

private:
    static Snapshot NewSnapshot();
    int StepCount() const { return int(m_steps.size()); }
    void DropPending();
    // Appends the pending snapshot as the newest step, dropping the redo steps.
    void PushPending();
    // Swaps the document's objects with those of step 'index'.
    void Exchange(int index);

    CDensoraDoc *m_pDocument = nullptr; // not owned
    StepList m_steps;
    int m_bEnabled = 1;
    int m_nCurrent = 0;
    Step m_pending; // without objects while no Start is waiting
};
