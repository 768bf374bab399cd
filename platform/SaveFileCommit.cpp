#include "platform/SaveFileCommit.h"

#include <QSaveFile>

bool commitSaveFile(QSaveFile &file, QString *error)
{
    if (!file.flush()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        file.commit(); // removes the temporary file
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
