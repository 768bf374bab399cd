#pragma once

// The pictures of a batch run: the files named, and the pictures in the
// folders named (by extension, in name order, not descending into
// subfolders), each once, with the name its outputs take in the output
// folder. Names stay apart: two pictures with the same base name keep their
// extensions ("gel.tif", "gel.png"), and any name still taken gets "-2", "-3".

#include <QList>
#include <QString>
#include <QStringList>

class BatchPictures
{
public:
    struct Entry
    {
        QString path; // as given, or the folder's path joined with the file name
        QString name; // for DIR/NAME.tsv and DIR/NAME.dsr; empty with a problem
        QString problem; // a folder without pictures, else empty
    };

    static QList<Entry> Collect(const QStringList &inputs);
    // Whether a file name has the extension of a picture format Densora reads.
    static bool IsPictureName(const QString &fileName);
};
