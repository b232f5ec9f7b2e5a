#include "controls/zLibControl.h"

#include "platform/AnsiCodec.h"
#include "platform/PathMapper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace qvcontrols {

namespace {

struct ReaderDeleter
{
    void operator()(archive *a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<archive, ReaderDeleter>;

Reader openReader(const QString &path)
{
    Reader reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    // A failed open leaves the reader in its fatal state; the first header
    // read then reports the reason.
    archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 64 * 1024);
    return reader;
}

QString archiveError(archive *a)
{
    const char *text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("未知错误");
}

// Stored names are UTF-8 when the archive says so, otherwise the code page
// the product writes (GBK).
QString entryName(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    const char *raw = archive_entry_pathname(entry);
    if (!raw)
        return QString();
    const QByteArray bytes(raw);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return decoder.hasError() ? jx::fromAnsi(bytes) : text;
}

struct Entry
{
    QString name; // relative, "/"-separated
    bool directory = false;
    QString staged;
    int64_t mtime = 0;
    bool hasTime = false;
};

// The reason an entry is refused, or empty.
QString refusal(archive_entry *entry, const QString &name)
{
    if (archive_entry_symlink(entry) || archive_entry_hardlink(entry) || archive_entry_filetype(entry) == AE_IFLNK)
        return QStringLiteral("压缩文件含有链接条目：") + name;
    const auto type = archive_entry_filetype(entry);
    if (type != AE_IFREG && type != AE_IFDIR && type != 0)
        return QStringLiteral("压缩文件含有非普通文件的条目：") + name;
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (n.isEmpty())
        return QStringLiteral("压缩文件含有没有名称的条目");
    if (n.startsWith(QLatin1Char('/')) || (n.size() >= 2 && n.at(1) == QLatin1Char(':')))
        return QStringLiteral("压缩文件含有绝对路径的条目：") + name;
    for (const QString &part : n.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return QStringLiteral("压缩文件含有指向目标文件夹以外的条目：") + name;
    }
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > zLibControl::MaxEntrySize)
        return QStringLiteral("压缩文件的条目超过 64 MiB：") + name;
    return QString();
}

bool insideFolder(const QString &canonicalFolder, const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && (canonical == canonicalFolder || canonical.startsWith(canonicalFolder + QLatin1Char('/')));
}

// Creates `path` as folders of their own below `folder`: the deepest part
// that exists already must resolve inside the folder (no link out of it), so
// nothing is created elsewhere.
bool makeFoldersInside(const QString &canonicalFolder, const QString &path)
{
    QString existing = path;
    while (!QFileInfo::exists(existing) && !QFileInfo(existing).isSymLink()) {
        const QString up = QFileInfo(existing).path();
        if (up == existing)
            return false;
        existing = up;
    }
    if (!insideFolder(canonicalFolder, existing) || !QDir().mkpath(path))
        return false;
    return insideFolder(canonicalFolder, path) && QFileInfo(path).isDir();
}

QString damaged(archive *a)
{
    return QStringLiteral("压缩文件已损坏：") + archiveError(a);
}

// Every header, before anything is written: the reason the archive is
// refused, or empty.
QString scanArchive(const QString &source)
{
    Reader reader = openReader(source);
    int64_t total = 0;
    for (;;) {
        archive_entry *entry = nullptr;
        const int rc = archive_read_next_header(reader.get(), &entry);
        if (rc == ARCHIVE_EOF)
            return QString();
        if (rc < ARCHIVE_WARN)
            return damaged(reader.get());
        const QString why = refusal(entry, entryName(entry));
        if (!why.isEmpty())
            return why;
        if (archive_entry_size_is_set(entry))
            total += archive_entry_size(entry);
        if (total > zLibControl::MaxTotalSize)
            return QStringLiteral("压缩文件解压后超过 512 MiB");
        if (archive_read_data_skip(reader.get()) < ARCHIVE_WARN)
            return damaged(reader.get());
    }
}

// Unpacks the entry's data into `out` (none: counted only); adds to `total`.
QString unpackData(archive *reader, const QString &name, QFile *out, int64_t &total)
{
    std::vector<char> buffer(64 * 1024);
    int64_t size = 0;
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0)
            return damaged(reader);
        size += got;
        total += got;
        if (size > zLibControl::MaxEntrySize)
            return QStringLiteral("压缩文件的条目超过 64 MiB：") + name;
        if (total > zLibControl::MaxTotalSize)
            return QStringLiteral("压缩文件解压后超过 512 MiB");
        if (out && out->write(buffer.data(), got) != got)
            return QStringLiteral("无法写入文件：") + out->fileName();
    }
    if (out && !out->flush())
        return QStringLiteral("无法写入文件：") + out->fileName();
    return QString();
}

// Unpacks every entry into the staging folder (none: checks only), counting
// what really comes out, since a header may claim less than its data.
QString stageEntries(const QString &source, const QTemporaryDir *staging, std::vector<Entry> &entries)
{
    Reader reader = openReader(source);
    int64_t total = 0;
    for (int n = 0;; ++n) {
        archive_entry *entry = nullptr;
        const int rc = archive_read_next_header(reader.get(), &entry);
        if (rc == ARCHIVE_EOF)
            return QString();
        if (rc < ARCHIVE_WARN)
            return damaged(reader.get());
        Entry e;
        e.name = entryName(entry);
        e.name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString why = refusal(entry, e.name);
        if (!why.isEmpty()) // the archive changed since it was scanned
            return why;
        e.directory = archive_entry_filetype(entry) == AE_IFDIR || e.name.endsWith(QLatin1Char('/'));
        e.hasTime = archive_entry_mtime_is_set(entry);
        e.mtime = archive_entry_mtime(entry);
        std::unique_ptr<QFile> out;
        if (!e.directory && staging) {
            e.staged = staging->filePath(QString::number(n));
            out = std::make_unique<QFile>(e.staged);
            if (!out->open(QIODevice::WriteOnly))
                return QStringLiteral("无法写入文件：") + e.staged;
        }
        const QString failed = unpackData(reader.get(), e.name, out.get(), total);
        if (!failed.isEmpty())
            return failed;
        entries.push_back(std::move(e));
    }
}

// Where an entry lands, relative to the folder; "" for none.
QString placeOf(const Entry &e, bool junkPaths)
{
    QString relative = e.name;
    while (relative.endsWith(QLatin1Char('/')))
        relative.chop(1);
    if (junkPaths) {
        if (e.directory)
            return QString();
        relative = relative.section(QLatin1Char('/'), -1);
    }
    relative = QDir::cleanPath(relative);
    return relative == QLatin1String(".") ? QString() : relative;
}

// A name that is a file and also a folder (of another entry, or on disk) is
// refused before anything moves: found half-way, part of the archive would
// already be in place.
QString checkPlaces(const QString &folder, const std::vector<Entry> &entries, bool junkPaths)
{
    QSet<QString> files, folders;
    for (const Entry &e : entries) {
        const QString relative = placeOf(e, junkPaths);
        if (relative.isEmpty())
            continue;
        (e.directory ? folders : files).insert(relative);
        for (qsizetype slash = relative.indexOf(QLatin1Char('/')); slash > 0; slash = relative.indexOf(QLatin1Char('/'), slash + 1))
            folders.insert(relative.left(slash));
    }
    for (const QString &relative : std::as_const(files)) {
        const QFileInfo onDisk(folder + QLatin1Char('/') + relative);
        if (folders.contains(relative) || (onDisk.isDir() && !onDisk.isSymLink()))
            return QStringLiteral("同名文件夹已存在：") + relative;
    }
    for (const QString &relative : std::as_const(folders)) {
        const QFileInfo onDisk(folder + QLatin1Char('/') + relative);
        if ((onDisk.exists() || onDisk.isSymLink()) && !onDisk.isDir())
            return QStringLiteral("无法创建文件夹：") + relative;
    }
    return QString();
}

struct CommitOptions
{
    bool junkPaths = false;
    bool overwrite = false;
    bool restoreTimes = false;
};

// Moves each staged file into place, never through a link out of the folder;
// `placed` gets what was written, relative to the folder.
QString commitEntries(const QString &folder, const std::vector<Entry> &entries, const CommitOptions &options,
                      QStringList &placed)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    for (const Entry &e : entries) {
        const QString relative = placeOf(e, options.junkPaths);
        if (relative.isEmpty())
            continue;
        const QString target = folder + QLatin1Char('/') + relative;
        if (e.directory) {
            if (!makeFoldersInside(canonicalFolder, target))
                return QStringLiteral("无法创建文件夹：") + relative;
            continue;
        }
        if (!makeFoldersInside(canonicalFolder, QFileInfo(target).path()))
            return QStringLiteral("无法创建文件夹：") + QFileInfo(relative).path();
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink()) {
            if (existing.isDir() && !existing.isSymLink())
                return QStringLiteral("同名文件夹已存在：") + relative;
            if (!options.overwrite)
                continue;
        }
        std::error_code ec;
        // rename replaces a link itself, never what it points at.
        std::filesystem::rename(QFile::encodeName(e.staged).toStdString(), QFile::encodeName(target).toStdString(), ec);
        if (ec)
            return QStringLiteral("无法写入文件：") + relative;
        if (options.restoreTimes && e.hasTime) {
            QFile f(target);
            if (f.open(QIODevice::ReadWrite))
                f.setFileTime(QDateTime::fromSecsSinceEpoch(e.mtime), QFileDevice::FileModificationTime);
        }
        placed << relative;
    }
    return QString();
}

} // namespace

bool zLibControl::fail(const QString &reason, bool quiet)
{
    m_lastError = reason;
    if (!quiet)
        qWarning("zLibControl: %s", qPrintable(reason));
    return false;
}

bool zLibControl::ExtractArchive(const QString &archivePath, const QString &folderPath, bool junkPaths,
                                 bool overwrite, bool restoreTimes, bool createFolder, bool testOnly, bool quiet)
{
    m_lastError.clear();
    m_extracted.clear();
    const QString source = jx::toLocalPath(archivePath);
    const QString folder = QDir::cleanPath(jx::toLocalPath(folderPath));
    if (!QFileInfo(source).isFile())
        return fail(QStringLiteral("找不到压缩文件：") + archivePath, quiet);
    if (folder.isEmpty())
        return fail(QStringLiteral("没有指定解压的目标文件夹"), quiet);
    if (const QString why = scanArchive(source); !why.isEmpty())
        return fail(why, quiet);

    if (!QDir(folder).exists()) {
        if (!createFolder && !testOnly)
            return fail(QStringLiteral("目标文件夹不存在：") + folderPath, quiet);
        if (!testOnly && !QDir().mkpath(folder))
            return fail(QStringLiteral("无法创建目标文件夹：") + folderPath, quiet);
    }
    std::unique_ptr<QTemporaryDir> staging;
    if (!testOnly) {
        staging = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.zlib-staging-XXXXXX"));
        if (!staging->isValid())
            return fail(QStringLiteral("无法在目标文件夹中写入：") + folderPath, quiet);
    }
    std::vector<Entry> entries;
    if (const QString why = stageEntries(source, staging.get(), entries); !why.isEmpty())
        return fail(why, quiet);
    if (testOnly)
        return true;
    if (const QString why = checkPlaces(folder, entries, junkPaths); !why.isEmpty())
        return fail(why, quiet);
    const QString why = commitEntries(folder, entries, CommitOptions{junkPaths, overwrite, restoreTimes}, m_extracted);
    return why.isEmpty() || fail(why, quiet);
}

} // namespace qvcontrols
