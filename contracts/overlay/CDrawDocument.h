#pragma once

// The drawing document: an ordered, owning list of drawing objects (drawn first
// to last, so the last is on top), the views showing it, the modified flag, its
// path and title. Undo recording is announced through the SaveAction calls,
// which do nothing here; the application's document records the steps.

#include "contracts/overlay/CDrawObjList.h"

#include "platform/CObject.h"
#include "platform/Geometry.h"

#include <QList>
#include <QString>

class CArchive;
class CDrawObject;
class CDrawView;

class CDrawDocument : public CObject
{
    DECLARE_DYNAMIC(CDrawDocument)
public:
    CDrawDocument();
    ~CDrawDocument() override;
    CDrawDocument(const CDrawDocument &) = delete;
    CDrawDocument &operator=(const CDrawDocument &) = delete;

    // Objects --------------------------------------------------------------------
    // Appends the object (the document owns it from now on) and sets its document.
    // bFrameStyle asks the application to give it the current line style; the base
    // ignores it.
    virtual void Add(CDrawObject *pObj, bool bFrameStyle = false);
    // Takes the object out of the list without destroying it (the caller owns it
    // again) and out of every view's selection.
    virtual void Remove(CDrawObject *pObj);
    // Destroys every object.
    virtual void RemoveAllObjects();
    // The topmost selectable object that covers the logical point, else null.
    virtual CDrawObject *ObjectAt(const CPoint &point);
    CDrawObjList &GetObjects() { return m_objects; }
    const CDrawObjList &GetObjects() const { return m_objects; }

    // Undo recording (captions name the operation) ---------------------------------
    virtual void SaveActionStart(const QString &caption);
    virtual void SaveActionGroup(const QString &caption);
    virtual void SaveActionCancel(const QString &caption);
    virtual void SaveActionEnd(const QString &caption);
    virtual void SaveActionStartEnd(const QString &caption);

    // Views ----------------------------------------------------------------------
    void AddView(CDrawView *pView);
    void RemoveView(CDrawView *pView);
    const QList<CDrawView *> &GetViews() const { return m_views; }
    CDrawView *GetFirstView() const { return m_views.isEmpty() ? nullptr : m_views.first(); }
    // Calls OnUpdate of every view but the sender.
    void UpdateAllViews(CDrawView *pSender, int nHint = 0, CObject *pHint = nullptr);

    // State ----------------------------------------------------------------------
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }
    bool IsModified() const { return m_bModified; }
    // Setting the path also sets the title to the file name.
    virtual void SetPathName(const QString &path);
    const QString &GetPathName() const { return m_strPathName; }
    virtual void SetTitle(const QString &title);
    const QString &GetTitle() const { return m_strTitle; }

    // Storage --------------------------------------------------------------------
    // The compound-document part that ends a document file: a DWORD count of
    // embedded items, always 0 (embedded items are not supported; a file that
    // claims some is refused with CArchiveException badSchema). The object list is
    // written by the derived document with SerializeObjects, where its format puts it.
    void Serialize(CArchive &ar) override;
    // The object list in object-list form (count, then each object with its class
    // tag). Loading replaces the current objects.
    void SerializeObjects(CArchive &ar);
    static void StoreObjectList(CArchive &ar, const CDrawObjList &list);
    // Appends the objects read to 'list' (which then owns them). On an error the
    // objects read so far are destroyed and the exception passes on. An entry that
    // refers back to an object already in the list is skipped; one that refers to
    // an object read elsewhere is refused (the ownership would be shared).
    static void LoadObjectList(CArchive &ar, CDrawObjList &list);

protected:
    // Drops destroyed objects from the views' selections.
    void ForgetInViews(CDrawObject *pObj);

    CDrawObjList m_objects; // owned
    QList<CDrawView *> m_views; // not owned
    bool m_bModified = false;
    QString m_strPathName;
    QString m_strTitle;
};
