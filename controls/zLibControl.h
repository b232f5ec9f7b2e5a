#pragma once

#include "jx_controls_export.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qvcontrols {

// qvZlib.zLibControl: extracts zip archives into a folder, keeping the stored
// file names. An archive is checked whole before anything is written: an
// entry whose name is absolute, climbs out of the folder ("..") or is a link,
// an entry above 64 MiB or an archive above 512 MiB unpacked (claimed or
// actual), or a damaged archive makes the call extract nothing and return
// false with the reason in LastError(). Data is unpacked into a staging
// folder inside the target first and moved into place at the end; nothing is
// ever written outside the target folder.
class JX_CONTROLS_EXPORT zLibControl final
{
public:
    static constexpr int64_t MaxEntrySize = int64_t(64) * 1024 * 1024;
    static constexpr int64_t MaxTotalSize = int64_t(512) * 1024 * 1024;

    // The six flags, in order:
    //   junkPaths     true: every file lands directly in the folder under its own name
    //   overwrite     true: replace files that exist; false: keep them
    //   restoreTimes  true: give files the modification time stored in the archive
    //   createFolder  true: create the folder (and its parents) when missing
    //   testOnly      true: check and unpack into nothing; writes no file
    //   quiet         false: also report a refusal as a warning on standard error
    // Paths may be written Windows-style.
    bool ExtractArchive(const QString &archive, const QString &folder, bool junkPaths, bool overwrite,
                        bool restoreTimes, bool createFolder, bool testOnly, bool quiet);

    // Why the last call failed; empty after a success.
    QString LastError() const { return m_lastError; }
    // The files the last call wrote, relative to the folder.
    QStringList ExtractedFiles() const { return m_extracted; }

private:
    bool fail(const QString &reason, bool quiet);

    QString m_lastError;
    QStringList m_extracted;
};

} // namespace qvcontrols
