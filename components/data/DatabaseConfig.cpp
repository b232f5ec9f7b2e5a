#include "components/data/DatabaseConfig.h"

#include "components/xml/XmlDocument.h"
#include "platform/PathMapper.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kElement = QStringLiteral("/configuration/database");

QString configValue(const XmlDocument &doc, const QString &name)
{
    const QVariant attr = doc.GetAttribute(kElement, name);
    if (!attr.isNull())
        return attr.toString().trimmed();
    return doc.GetValue(kElement + u'/' + name).toString().trimmed();
}

} // namespace

jx::Result<DatabaseConfig> DatabaseConfig::read(const QString &configFile)
{
    XmlDocument doc;
    int flags = 99;
    doc.Initialize(flags);
    if (!doc.Load(configFile))
        return jx::fail(QStringLiteral("无法读取配置文件：%1").arg(doc.lastError()));
    if (doc.Count(kElement) == 0)
        return jx::fail(QStringLiteral("配置文件中没有数据库连接说明 (/configuration/database)：%1").arg(configFile));
    DatabaseConfig out;
    const QString driver = configValue(doc, QStringLiteral("driver")).toLower();
    if (driver.isEmpty() || driver == u"sqlite" || driver == u"sqlite3" || driver == u"qsqlite") {
        QString file = configValue(doc, QStringLiteral("file"));
        if (file.isEmpty())
            return jx::fail(QStringLiteral("配置文件中没有指定数据库文件 (file)"));
        file.replace(u'\\', u'/');
        if (QFileInfo(file).isRelative())
            file = QFileInfo(jx::toLocalPath(configFile)).absoluteDir().filePath(file);
        out.m_engine = Engine::Sqlite;
        out.m_file = QFileInfo(jx::toLocalPath(QDir::cleanPath(file))).absoluteFilePath();
        return out;
    }
    if (driver == u"postgres" || driver == u"postgresql" || driver == u"pgsql" || driver == u"qpsql") {
        out.m_engine = Engine::Postgres;
        out.m_server.host = configValue(doc, QStringLiteral("host"));
        out.m_server.user = configValue(doc, QStringLiteral("user"));
        out.m_server.password = configValue(doc, QStringLiteral("password"));
        out.m_server.database = configValue(doc, QStringLiteral("database"));
        if (const QString port = configValue(doc, QStringLiteral("port")); !port.isEmpty()) {
            bool ok = false;
            out.m_server.port = port.toInt(&ok);
            if (!ok || out.m_server.port <= 0 || out.m_server.port > 65535)
                return jx::fail(QStringLiteral("配置文件中的数据库端口不是有效的端口号：%1").arg(port));
        }
        return out;
    }
    return jx::fail(QStringLiteral("不支持的数据库驱动：%1").arg(driver));
}
