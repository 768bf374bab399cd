#include "cli/OutputFile.h"

#include "platform/SaveFileCommit.h"

#include <QSaveFile>

bool OutputFile::Write(const QString &path, const QByteArray &contents, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(contents) != contents.size()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file, error);
}
