#pragma once

// Writes a whole output file or nothing: the text goes to a temporary file
// beside the target, which replaces the target only once everything was
// written. A failed run never leaves a half-written report behind.

#include <QByteArray>
#include <QString>

class OutputFile
{
public:
    // False with *error naming the reason when the file cannot be written.
    static bool Write(const QString &path, const QByteArray &contents, QString *error);
};
