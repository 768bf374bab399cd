#include "platform/Exceptions.h"

namespace {
const char *archiveCauseText(CArchiveException::Cause cause)
{
    switch (cause) {
    case CArchiveException::none: return "no error";
    case CArchiveException::genericException: return "archive error";
    case CArchiveException::readOnly: return "archive is read-only";
    case CArchiveException::endOfFile: return "unexpected end of file";
    case CArchiveException::writeOnly: return "archive is write-only";
    case CArchiveException::badIndex: return "bad object or class index";
    case CArchiveException::badClass: return "unknown or unexpected class";
    case CArchiveException::badSchema: return "unsupported schema";
    }
    return "archive error";
}
} // namespace

CArchiveException::CArchiveException(Cause cause, const QString &fileName)
    : CException(archiveCauseText(cause)), m_cause(cause), m_strFileName(fileName)
{
    if (!fileName.isEmpty())
        m_message += " (" + fileName.toStdString() + ")";
}

CFileException::CFileException(Cause cause, const QString &fileName, const QString &detail)
    : CException(detail.isEmpty() ? std::string("file error") : detail.toStdString()),
      m_cause(cause), m_strFileName(fileName)
{
    if (!fileName.isEmpty())
        m_message += " (" + fileName.toStdString() + ")";
}
