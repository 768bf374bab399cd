// Bytes offered on the clipboard as "Densora Objects" pasted into a document
// with a picture: the object list read into the selection, each object moved
// by (10, 10) and added to the document under one undo step, then the
// selection copied again.

#include "fuzz/FuzzEnvironment.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "contracts/overlay/CDrawObject.h"
#include "imaging/CDrawImage.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QBuffer>

#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &environment = FuzzEnvironment::instance();
    Analysis1DDoc document;
    document.Add(FuzzEnvironment::makeGelPicture().release());

    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    CDrawObjList selection;
    try {
        CArchive ar(&source, CArchive::load);
        ar.m_pDocument = &document;
        CDrawDocument::LoadObjectList(ar, selection);
    } catch (const CException &) {
        return 0;
    } catch (const std::bad_alloc &) {
        return 0;
    }
    document.SaveActionStartEnd(QStringLiteral("CDensoraView::OnEditPaste"));
    for (CDrawObject *object : std::as_const(selection)) {
        object->Offset(10, 10);
        document.Add(object);
    }
    QByteArray copied;
    QBuffer target(&copied);
    target.open(QIODevice::WriteOnly);
    try {
        CArchive ar(&target, CArchive::store);
        ar.m_pDocument = &document;
        CDrawDocument::StoreObjectList(ar, selection);
        ar.Close();
    } catch (const CException &) {
    }
    environment.prompts().Clear();
    return 0;
}
