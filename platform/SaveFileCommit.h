#pragma once

// Finishing a QSaveFile. QSaveFile::commit() ignores an error in writing out
// what is still in its buffer when it closes the temporary file, and then
// renames the truncated file over the target: on a full disk a small file
// would be replaced by an empty one and the save reported as done. The
// buffer is written out first here, and a failure there removes the
// temporary file and leaves the target alone.

#include <QString>

class QSaveFile;

// True when everything was written and the target replaced. Otherwise false
// with *error (when given) saying why; the target is as it was.
bool commitSaveFile(QSaveFile &file, QString *error = nullptr);
