// The XML document on arbitrary bytes: loaded from a file (every encoding it
// recognises) and from memory, then asked positional and attribute queries.

#include "FuzzScratch.h"

#include "components/xml/XmlDocument.h"

#include <QStringList>

namespace {
void query(const XmlDocument &doc)
{
    static const QStringList paths = {QStringLiteral("/*"), QStringLiteral("/*/*[0]"), QStringLiteral("//*[1]"),
                                      QStringLiteral("//*[@id]"), QStringLiteral("/*/@*"), QStringLiteral("//text()"),
                                      QStringLiteral("//*[last()]"), QStringLiteral("/configuration/system/caption")};
    for (const QString &p : paths) {
        doc.GetValue(p);
        doc.Count(p);
        doc.GetAttribute(p, QStringLiteral("id"));
    }
    doc.GetXml(QStringLiteral("/*/*[0]"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    XmlDocument doc;
    if (doc.Load(scratch.write(QStringLiteral("input.xml"), data, size)))
        query(doc);
    if (doc.LoadXml(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))))
        query(doc);
    return 0;
}
