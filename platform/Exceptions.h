#pragma once

// The exception family of the platform. Thrown and caught by value.

#include <QString>
#include <exception>
#include <string>

class CException : public std::exception
{
public:
    CException() = default;
    explicit CException(std::string message) : m_message(std::move(message)) { }
    const char *what() const noexcept override { return m_message.c_str(); }

protected:
    std::string m_message;
};

class CArchiveException : public CException
{
public:
    enum Cause { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(Cause cause = genericException, const QString &fileName = QString());

    Cause m_cause;
    QString m_strFileName;
};

class CFileException : public CException
{
public:
    enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
                 invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
                 lockViolation, diskFull, endOfFile };

    explicit CFileException(Cause cause = genericException, const QString &fileName = QString(),
                            const QString &detail = QString());

    Cause m_cause;
    QString m_strFileName;
};

class CInvalidArgException : public CException
{
public:
    CInvalidArgException() : CException("invalid argument") { }
    explicit CInvalidArgException(std::string message) : CException(std::move(message)) { }
};

class CMemoryException : public CException
{
public:
    CMemoryException() : CException("out of memory") { }
};

// Raised after the user has been told about a failure (the operation is abandoned quietly).
class CUserException : public CException
{
public:
    CUserException() : CException("operation cancelled") { }
};

// A fixed text raised by the numerical code; what() is exactly that text.
class CTextException : public CException
{
public:
    explicit CTextException(const char *text) : CException(text) { }
    explicit CTextException(std::string text) : CException(std::move(text)) { }
};
