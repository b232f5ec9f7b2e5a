#include "calctools/btool.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace btool {

QString &ProgramFolder()
{
    static QString folder;
    return folder;
}

QString LibraryFolder()
{
    Dl_info info{};
    // Any function of this library names the file it was loaded from.
    if (dladdr(reinterpret_cast<void *>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

} // namespace btool
