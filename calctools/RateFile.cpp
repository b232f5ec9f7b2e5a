#include "calctools/RateFile.h"

#include "calctools/CalcNumber.h"
#include "calctools/btool.h"
#include "components/xml/XmlDocument.h"
#include "platform/Numeric.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString basePath(int category)
{
    return category == RateFile::HousingFund ? QStringLiteral("//root/fund/item") : QStringLiteral("//root/loan/item");
}

} // namespace

QString RateFile::locate()
{
    return locate(btool::ProgramFolder(), btool::LibraryFolder());
}

QString RateFile::locate(const QString &programFolder, const QString &libraryFolder)
{
    // An empty program folder means the console never told us one; do not look at the root.
    if (!programFolder.isEmpty()) {
        const QString file = QDir(programFolder).filePath(QStringLiteral("interest.xml"));
        if (isFile(file))
            return file;
    }
    if (!libraryFolder.isEmpty()) {
        // File names are case-sensitive here; accept both spellings next to the library.
        for (const QString &name : {QStringLiteral("Interest.xml"), QStringLiteral("interest.xml")}) {
            const QString file = QDir(libraryFolder).filePath(name);
            if (isFile(file))
                return file;
        }
    }
    return QString();
}

bool RateFile::list(const QString &file, int category, QList<Item> &items)
{
    items.clear();
    XmlDocument doc;
    int flags = 99;
    doc.Initialize(flags);
    if (!doc.Load(file, 0))
        return false;
    const QString base = basePath(category);
    for (int i = 0;; ++i) {
        const QString path = base + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
        const QVariant caption = doc.GetAttribute(path, QStringLiteral("caption"));
        if (caption.isNull())
            break;
        Item item;
        item.caption = jx::toText(caption);
        try {
            item.id = jx::clng(jx::val(jx::toText(doc.GetAttribute(path, QStringLiteral("id")))));
        } catch (...) {
            // An id beyond the integer range cannot be looked up again; it reads as 0.
            item.id = 0;
        }
        items.append(item);
    }
    return true;
}

float RateFile::lookup(const QString &file, const QString &id, int category, int months)
{
    if (category != Commercial && category != HousingFund)
        return 0.0f;
    XmlDocument doc;
    int flags = 99;
    doc.Initialize(flags);
    if (file.isEmpty() || !doc.Load(file, 0))
        return 0.0f;
    const QString term = months > 60 ? QStringLiteral("long") : QStringLiteral("short");
    const QString path = (category == HousingFund ? QStringLiteral("//root/fund/item[@id='")
                                                  : QStringLiteral("//root/loan/item[@id='"))
        + id + QStringLiteral("']");
    return calcnum::toSingle(jx::val(jx::toText(doc.GetAttribute(path, term))));
}
