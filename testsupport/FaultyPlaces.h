#pragma once

// Places where saving fails, for the tests that check a failed save leaves
// the previous file as it was:
//   SmallFullFilesystem  a 64 KB tmpfs, filled up (needs the right to mount,
//                        i.e. root; otherwise unavailable, with the reason)
//   FileSizeLimit        emulates a full disk for this process: writes past
//                        the limit fail (RLIMIT_FSIZE, SIGXFSZ ignored)
//   ReadOnlyFolder       a folder nothing can be written into: without write
//                        permission, or, for root (whom permissions do not
//                        stop), a tmpfs remounted read-only
//   tooLongName          a file name longer than any file system allows

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

class TmpfsMount
{
public:
    // Mounts a tmpfs of 'bytes' at a new temporary folder.
    explicit TmpfsMount(qint64 bytes) : m_dir(std::make_unique<QTemporaryDir>())
    {
        const QByteArray where = QFile::encodeName(m_dir->path());
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_reason = QStringLiteral("cannot mount a tmpfs here (%1)")
                           .arg(QString::fromLocal8Bit(strerror(errno)));
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir->path()).constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool available() const { return m_mounted; }
    const QString &reason() const { return m_reason; }
    QString path() const { return m_dir->path(); }
    QString filePath(const QString &name) const { return m_dir->filePath(name); }
    // Writable again or read-only, keeping the files.
    bool remount(bool readOnly)
    {
        const QByteArray where = QFile::encodeName(m_dir->path());
        return ::mount("tmpfs", where.constData(), "tmpfs",
                       MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr)
            == 0;
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_mounted = false;
    QString m_reason;
};

class SmallFullFilesystem : public TmpfsMount
{
public:
    SmallFullFilesystem() : TmpfsMount(64 * 1024) { }
    // Fills the rest of the file system with one file, so the next write fails.
    void fill()
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.write(QByteArray(1, 'x'));
    }
    // Every name in the folder but the filler.
    QStringList files() const
    {
        QStringList names = QDir(path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }
};

class FileSizeLimit
{
public:
    // Files written by this process may not grow beyond 'bytes' while it lives.
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = SIG_DFL;
};

class ReadOnlyFolder
{
public:
    // Runs 'prepare(folder)' while the folder is still writable (to put the
    // previous file there), then makes it read-only.
    template<typename F> explicit ReadOnlyFolder(F &&prepare)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        prepare(m_dir->path());
        QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (::access(QFile::encodeName(m_dir->path()).constData(), W_OK) != 0) {
            m_path = m_dir->path();
            return;
        }
        // Root may write anyway: a read-only file system stops everyone.
        QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 | QFileDevice::ExeOwner);
        m_mount = std::make_unique<TmpfsMount>(1024 * 1024);
        if (!m_mount->available()) {
            m_reason = QStringLiteral("running as root, and ") + m_mount->reason();
            return;
        }
        prepare(m_mount->path());
        if (!m_mount->remount(true)) {
            m_reason = QStringLiteral("cannot remount the tmpfs read-only");
            return;
        }
        m_path = m_mount->path();
    }
    ~ReadOnlyFolder()
    {
        if (m_mount && m_mount->available())
            m_mount->remount(false);
        if (m_dir)
            QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                     | QFileDevice::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    // Empty when no read-only folder could be made; reason() says why.
    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    QString filePath(const QString &name) const { return QDir(m_path).filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TmpfsMount> m_mount;
    QString m_path;
    QString m_reason;
};

// 300 characters: longer than the 255 bytes a name may have.
inline QString tooLongName(const QString &suffix)
{
    return QString(300 - suffix.size(), QLatin1Char('n')) + suffix;
}
