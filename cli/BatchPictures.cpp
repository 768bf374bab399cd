#include "cli/BatchPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// The extensions of the desktop program's Open dialog, and .jpeg.
const char *const kPictureExtensions[]
    = {"tif", "tiff", "gif", "bmp", "pcx", "png", "tga", "psd", "ras", "jpg", "jpeg"};

QString identity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

bool BatchPictures::IsPictureName(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const char *extension : kPictureExtensions) {
        if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QList<BatchPictures::Entry> BatchPictures::Collect(const QStringList &inputs)
{
    QList<Entry> entries;
    QSet<QString> seen;
    const auto add = [&](const QString &path) {
        if (!seen.contains(identity(path))) {
            seen.insert(identity(path));
            entries.append({path, QString(), QString()});
        }
    };
    for (const QString &input : inputs) {
        if (!QFileInfo(input).isDir()) {
            add(input); // reading it tells whether it is a picture
            continue;
        }
        const QDir folder(input);
        QStringList pictures;
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            if (IsPictureName(name))
                pictures << name;
        }
        if (pictures.isEmpty())
            entries.append({input, QString(), QStringLiteral("no pictures in this folder")});
        for (const QString &name : pictures)
            add(folder.filePath(name));
    }

    QHash<QString, int> baseNames;
    for (const Entry &entry : entries) {
        if (entry.problem.isEmpty())
            ++baseNames[QFileInfo(entry.path).completeBaseName()];
    }
    QSet<QString> taken;
    for (Entry &entry : entries) {
        if (!entry.problem.isEmpty())
            continue;
        const QFileInfo info(entry.path);
        const bool shared = baseNames.value(info.completeBaseName()) > 1;
        const QString base = shared || info.completeBaseName().isEmpty() ? info.fileName()
                                                                         : info.completeBaseName();
        QString name = base;
        for (int k = 2; taken.contains(name); ++k)
            name = QStringLiteral("%1-%2").arg(base).arg(k);
        taken.insert(name);
        entry.name = name;
    }
    return entries;
}
