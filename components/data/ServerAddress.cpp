#include "components/data/ServerAddress.h"

bool ServerAddress::holdsSeparator(const QString &text)
{
    for (const QChar c : text)
        if (c == u';' || c == u'=' || c.category() == QChar::Other_Control)
            return true;
    return false;
}

QString ServerAddress::partWithSeparator() const
{
    if (holdsSeparator(host))
        return QStringLiteral("host");
    if (holdsSeparator(user))
        return QStringLiteral("user");
    if (holdsSeparator(database))
        return QStringLiteral("database");
    return {};
}
