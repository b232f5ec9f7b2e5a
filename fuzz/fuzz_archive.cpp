// Archive extraction on arbitrary zip bytes. Whatever the archive holds,
// nothing may appear outside the target folder, and no link inside it may
// lead out.

#include "FuzzScratch.h"

#include "controls/zLibControl.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdlib>

namespace {
void checkConfined(const QString &area, const QString &target)
{
    const QString inside = QDir(target).canonicalPath() + QLatin1Char('/');
    QDirIterator it(area, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.absoluteFilePath() == QDir(target).absolutePath())
            continue;
        if (!entry.absoluteFilePath().startsWith(QDir(target).absolutePath() + QLatin1Char('/')))
            std::abort(); // written beside the target folder
        if (entry.isSymLink() && !QFileInfo(entry.symLinkTarget()).absoluteFilePath().startsWith(inside))
            std::abort(); // a link that leads out
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    const QString archive = scratch.write(QStringLiteral("input.zip"), data, size);
    const QString area = QDir(scratch.path()).filePath(QStringLiteral("area"));
    const QString target = QDir(area).filePath(QStringLiteral("target"));
    for (bool junk : {false, true}) {
        QDir(area).removeRecursively();
        qvcontrols::zLibControl zip;
        const bool done = zip.ExtractArchive(archive, target, junk, true, true, true, false, true);
        checkConfined(area, target);
        if (!done && QDirIterator(target, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories).hasNext())
            std::abort(); // a refused archive still left files behind
    }
    return 0;
}
