// A ".dsr" document (or whatever the file holds) opened into a fresh
// document, as File Open does; what was read is written back to memory, as a
// save would.

#include "fuzz/FuzzEnvironment.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QBuffer>

#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &environment = FuzzEnvironment::instance();
    const QString path = environment.writeScratch(data, size, QStringLiteral("dsr"));
    Analysis1DDoc document;
    if (document.OnOpenDocument(path) && document.GetDrawImage()) {
        QByteArray stored;
        QBuffer buffer(&stored);
        buffer.open(QIODevice::WriteOnly);
        try {
            CArchive ar(&buffer, CArchive::store);
            ar.m_pDocument = &document;
            document.SerializeDensoraFileFormat(ar);
            ar.Close();
        } catch (const CException &) {
            // Refusing to store (no analysis area, say) is an answer.
        } catch (const std::bad_alloc &) {
        }
    }
    environment.prompts().Clear();
    return 0;
}
