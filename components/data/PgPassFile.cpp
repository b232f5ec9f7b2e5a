#include "components/data/PgPassFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// Splits one line at unescaped ':'; "\:" and "\\" stand for ':' and '\'.
QStringList splitFields(const QString &line)
{
    QStringList fields;
    QString current;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            current += line.at(++i);
        } else if (c == u':') {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

QString accountName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}
} // namespace

QString PgPassFile::defaultPath()
{
    const QString env = qEnvironmentVariable("PGPASSFILE");
    return env.isEmpty() ? QDir::home().filePath(QStringLiteral(".pgpass")) : env;
}

PgPassFile::PgPassFile(QString path) : m_path(std::move(path)) {}

bool PgPassFile::exists() const { return QFileInfo(m_path).isFile(); }

bool PgPassFile::permissionsTooOpen() const
{
    if (!exists())
        return false;
    const QFile::Permissions p = QFile::permissions(m_path);
    return (p & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                 | QFile::ExeOther))
        != 0;
}

bool PgPassFile::covers(const QString &hostIn, const QString &portIn, const QString &databaseIn,
                        const QString &userIn) const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString host = hostIn.isEmpty() || hostIn.startsWith(u'/') ? QStringLiteral("localhost") : hostIn;
    const QString port = portIn.isEmpty() ? QStringLiteral("5432") : portIn;
    const QString user = userIn.isEmpty() ? accountName() : userIn;
    const QString database = databaseIn.isEmpty() ? user : databaseIn;
    const QString wanted[4] = {host, port, database, user};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).remove(u'\r').remove(u'\n');
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = splitFields(line);
        if (fields.size() < 5)
            continue;
        bool match = true;
        for (int i = 0; i < 4 && match; ++i)
            match = fields.at(i) == u"*" || fields.at(i) == wanted[i];
        if (match)
            return true;
    }
    return false;
}
