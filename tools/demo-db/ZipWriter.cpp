#include "ZipWriter.h"

#include <QDateTime>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace {

la_ssize_t appendTo(struct archive *, void *out, const void *buffer, size_t length)
{
    static_cast<QByteArray *>(out)->append(static_cast<const char *>(buffer), qsizetype(length));
    return la_ssize_t(length);
}

} // namespace

QByteArray writeZip(const std::vector<ZipEntry> &entries)
{
    // A fixed time, so the demo database comes out the same on every build.
    const time_t stamp = QDateTime(QDate(2026, 12, 9), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    QByteArray out;
    const std::unique_ptr<struct archive, decltype(&archive_write_free)> zip(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(zip.get());
    archive_write_set_bytes_in_last_block(zip.get(), 1); // no padding after the archive
    if (archive_write_open(zip.get(), &out, nullptr, appendTo, nullptr) != ARCHIVE_OK)
        return {};
    for (const ZipEntry &e : entries) {
        const std::unique_ptr<struct archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
        archive_entry_copy_pathname(entry.get(), e.name.constData());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), e.data.size());
        archive_entry_set_mtime(entry.get(), stamp, 0);
        if (archive_write_header(zip.get(), entry.get()) != ARCHIVE_OK
            || archive_write_data(zip.get(), e.data.constData(), size_t(e.data.size())) != e.data.size())
            return {};
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        return {};
    return out;
}
