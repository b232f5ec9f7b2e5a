#include "DemoUsers.h"

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"

#include <QStringList>

jx::Result<> DemoUsers::setPasswords(Database &db, const QString &usersText)
{
    for (const QString &line : usersText.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.simplified().split(u' ');
        if (parts.size() != 2)
            continue;
        const QString hash = CurrentUser::hashPassword(parts[1]);
        if (hash.isEmpty()
            || !db.ExecuteParams(QStringLiteral("update jx_user set pwhash=? where username=?"), {hash, parts[0]}))
            return jx::fail(QStringLiteral("cannot set the password of %1: %2").arg(parts[0], db.LastError().Description()));
    }
    return {};
}
