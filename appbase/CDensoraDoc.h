#pragma once

// The application's document: the overlay drawing document whose first object
// is the picture (CDrawImage), followed by the overlay objects, plus the undo
// history. The analysis document derives from it and writes the document
// files; this base adds nothing to the stream (its Serialize is the drawing
// document's, the trailing embedded-item count).
//
// Opening and saving run through OnOpenDocument / OnSaveDocument, which set up
// the archive and call the virtual Serialize. Saving writes a temporary file in
// the target's folder and replaces the target only when the archive closed
// without error, so a failed save never destroys the previous file.

#include "appbase/CUndoRedoManager.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <QString>

#include <cstdint>
#include <memory>

class CArchive;
class CDrawImage;
class QFile;
class QIODevice;
class TVFImage;

class CDensoraDoc : public CDrawDocument
{
    DECLARE_DYNCREATE(CDensoraDoc)
public:
    // The document's own file type code, beside the image library's format
    // codes (FREE_IMAGE_FORMAT values, -1 unknown).
    static constexpr int DensoraFileType = 410;

    // The application's own files start with a 16-byte header whose first
    // bytes are a signature and the format version: documents 0x21 0x0B 0x02,
    // overlay templates 0x34 0x0B 0x01.
    static constexpr int kFileHeaderSize = 16;
    struct FileSignature
    {
        uint8_t first;
        uint8_t second;
        uint8_t version;
        // Bytes 0 and 2, which tell the kinds of file apart.
        bool IsMarkedBy(const uint8_t *header) const
        {
            return header[0] == first && header[2] == version;
        }
        // All three bytes.
        bool Matches(const uint8_t *header) const
        {
            return IsMarkedBy(header) && header[1] == second;
        }
        void WriteTo(uint8_t *header) const
        {
            header[0] = first;
            header[1] = second;
            header[2] = version;
        }
    };
    static constexpr FileSignature kDocumentSignature {0x21, 0x0B, 2};
    static constexpr FileSignature kTemplateSignature {0x34, 0x0B, 1};

    // What the user is told when a file cannot be opened or saved.
    static const QString kOpenFailedText; // "Failed to open document."
    static const QString kUnexpectedFormatText; // "Unexpected file format."
    static const QString kSaveFailedText; // "Failed to save document."

    // The main frame's current drawing style, which Add gives objects when asked
    // for the frame style. The frame installs itself; without one Add gives none.
    class FrameStyle
    {
    public:
        virtual ~FrameStyle() = default;
        // The line colour chosen on the ribbon, or -1 for no choice.
        virtual long GetLineColor() const = 0;
        // The line weight chosen on the ribbon (1..7), or -1 when nothing is chosen.
        virtual int GetLineWeight() const = 0;
    };
    static void SetFrameStyle(FrameStyle *pStyle);
    static FrameStyle *GetFrameStyle();

    CDensoraDoc();
    ~CDensoraDoc() override;

    // Objects --------------------------------------------------------------------
    // Appends the object and marks the document modified. With bFrameStyle the
    // object takes the frame's line colour and, for a weight > 0, its line weight
    // with the line enabled.
    void Add(CDrawObject *pObj, bool bFrameStyle = false) override;
    // Remove (out of the list and every selection, not destroyed, document
    // modified), RemoveAllObjects (destroys every object) and ObjectAt (the
    // topmost, i.e. last drawn, selectable object covering the point) are the
    // drawing document's.

    // The first object when it is the picture object, and its picture; else null.
    CDrawImage *GetDrawImage() const;
    TVFImage *GetImage() const;
    // True when anything besides the picture is in the list.
    bool DocContainsOverlayObjects() const;
    // Union of the 1 x 1 rectangle at the origin and every object's normalised
    // position.
    CRect GetDocRect() const;
    // Destroys every object and loads the file's picture as the new first object.
    // Returns the loader's result: positive on success; otherwise the document is
    // left without objects.
    int CreateImageObject(QFile *pFile);

    // Files ----------------------------------------------------------------------
    // By name: 410 for a ".dsr" extension (any case), else the image format the
    // extension names (-1 when none); 0 for a name without a ".".
    static int GetFileType(const QString &name);
    // By contents: 410 when the first bytes carry the document's signature
    // (0x21 ? 0x02 for documents, 0x34 ? 0x01 for overlay templates) whatever the
    // name, else the image format found in the contents. The position is
    // restored. A device that cannot be read (a file being written) is judged by
    // its file name; a closed file is opened for the look and closed again.
    static int GetFileType(QIODevice *pFile);
    // The file-name part of the document's path.
    QString GetFileName() const;
    // "<title> - [at zoom factor 1.50]": the previous zoom suffix is replaced.
    void SetTitleWithZoom(float zoom);

    // Opening and saving ---------------------------------------------------------
    // Empties the document for a new one: objects and undo history.
    virtual void DeleteContents();
    virtual bool OnNewDocument();
    // Reads the file through Serialize; the open contents are set aside
    // meanwhile. On success they are destroyed with the undo history, the path
    // (and title) is set and the document is unmodified. Failures are reported
    // to the user ("Failed to open document." / "Unexpected file format."; a
    // CUserException was reported by whoever threw it) and put the previous
    // contents back untouched.
    virtual bool OnOpenDocument(const QString &path);
    // Writes the document through Serialize (see the header comment); on success
    // the path is set and the document is unmodified. Failures are reported
    // ("Failed to save document.") and leave the previous file as it was.
    virtual bool OnSaveDocument(const QString &path);

protected:
    // What a document holds while a file is being read into it. Derived
    // documents with contents of their own extend it (and the three calls).
    struct SetAside
    {
        virtual ~SetAside() = default;
        CDrawObjList objects;
    };
    // Moves the contents out, leaving the document empty for the file.
    virtual std::unique_ptr<SetAside> SetContentsAside();
    // Destroys what a failed read left and puts the set-aside contents back.
    virtual void RestoreContents(std::unique_ptr<SetAside> aside);
    // Destroys the set-aside contents after a successful read.
    virtual void DiscardContents(std::unique_ptr<SetAside> aside);

public:
    // Undo and redo ----------------------------------------------------------------
    void SaveAction(const QString &caption, CUndoRedoManager::enAction action);
    void SaveActionStart(const QString &caption) override;
    void SaveActionGroup(const QString &caption) override;
    void SaveActionCancel(const QString &caption) override;
    void SaveActionEnd(const QString &caption) override;
    void SaveActionStartEnd(const QString &caption) override;
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    const CUndoRedoManager::StepList &GetActionStorage() const;
    CUndoRedoManager &GetUndoRedoManager() { return m_undoRedoManager; }
    // What the document keeps beside its objects, for an undo step (null: only
    // the objects), and putting such a state back after the step's objects
    // were put back (null: a step recorded without one).
    virtual std::unique_ptr<CUndoRedoManager::DocumentState> CaptureUndoState() const
    {
        return nullptr;
    }
    virtual void RestoreUndoState(const CUndoRedoManager::DocumentState *state)
    {
        Q_UNUSED(state);
    }

private:
    CUndoRedoManager m_undoRedoManager;
};
