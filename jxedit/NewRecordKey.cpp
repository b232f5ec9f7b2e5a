#include "jxedit/NewRecordKey.h"

#include <QUrlQuery>

namespace jxedit {

namespace {
const QString kPrefix = QStringLiteral("new?");
}

QString NewRecordKey::make(const QVariantMap &fields)
{
    QUrlQuery query;
    for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
        query.addQueryItem(it.key(), QString::fromLatin1(QUrl::toPercentEncoding(it.value().toString())));
    return kPrefix + query.toString(QUrl::FullyEncoded);
}

bool NewRecordKey::parse(const QString &key, QVariantMap &fields)
{
    fields.clear();
    if (!key.startsWith(kPrefix))
        return false;
    const QUrlQuery query(key.mid(kPrefix.size()));
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded))
        if (!name.isEmpty())
            fields.insert(name, value);
    return true;
}

} // namespace jxedit
