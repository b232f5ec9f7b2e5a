#include "console/workspace/MenuQueries.h"

#include "components/data/Database.h"
#include "components/data/Recordset.h"
#include "console/log/Logger.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"

#include <exception>

namespace jx {

bool MenuQueries::reportFailure(::Database &db, const QueryResult &result)
{
    if (result.ok())
        return false;
    const QString why = db.LastError().Description();
    try {
        WriteLog(why, LogError);
    } catch (const std::exception &) {
        // without a log writer the box below still tells the operator
    }
    db.ResetError();
    msgBox(why, Critical, QStringLiteral("错误"));
    return true;
}

std::optional<MenuEntry> MenuQueries::lookupEntry(::Database &db, const QString &sql, const QString &missing)
{
    const QueryResult result = db.Query(sql, 1);
    if (reportFailure(db, result))
        return std::nullopt;
    ::Recordset rs = result.Recordset();
    if (rs.Eof()) {
        rs.Close();
        msgBox(missing, Information, QStringLiteral("提示："));
        return std::nullopt;
    }
    MenuEntry entry;
    entry.programNumber = programNumber(rs.Fields(QStringLiteral("progID")));
    entry.kind = programNumber(rs.Fields(QStringLiteral("menucatalog")));
    entry.name = toText(rs.Fields(QStringLiteral("menuname")));
    entry.systemCode = toText(rs.Fields(QStringLiteral("systemcode")));
    entry.code = toText(rs.Fields(QStringLiteral("menucode")));
    rs.Close();
    return entry;
}

QString MenuQueries::quoted(const QString &value)
{
    QString text = value;
    return text.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString MenuQueries::topCodeLength(const QString &menubm)
{
    const QString scheme = menubm.isEmpty() ? QStringLiteral("22222") : menubm;
    const QChar first = scheme.at(0);
    if (first >= u'0' && first <= u'9')
        return QString(first);
    return QStringLiteral("0");
}

int32_t MenuQueries::programNumber(const QVariant &value)
{
    return clng(val(toText(value)));
}

QString MenuQueries::Q1(const QString &menubm)
{
    return QStringLiteral(" SELECT menucode,systemcatalog,xt_menu.systemcode FROM xt_menu INNER JOIN xt_mode ON "
                          "xt_menu.systemcode=xt_mode.systemcode  WHERE (menucode in (select left(parent,")
        + topCodeLength(menubm)
        + QStringLiteral(") from xt_menu) or menucode in(select menucode from xt_menu where parent='' and "
                         "menuismx=1)) ORDER BY menuorder");
}

QString MenuQueries::Q2(const QString &group)
{
    return QStringLiteral(" SELECT menucode ,menuname,systemcode,menuIsMajor,parent,menuorder FROM xt_menu WHERE "
                          "((menucode in (select parent from xt_menu) and menuismx=0) or menulevel=1) and "
                          "menuIsMajor=1 and systemcode in(select systemcode from xt_mode where systemcatalog='")
        + quoted(group) + QStringLiteral("') ORDER BY parent,menuorder");
}

QString MenuQueries::Q3(int type, const QString &code)
{
    return QStringLiteral("SELECT filename,iscompress,contents FROM xt_menuPilot WHERE type=") + QString::number(type)
        + QStringLiteral(" and menuCode='") + quoted(code) + QStringLiteral("'");
}

QString MenuQueries::Q4(const QString &code)
{
    return QStringLiteral("SELECT filename,iscompress,contents,filesize FROM xt_menuPilot WHERE type=0 and menuCode='")
        + quoted(code) + QStringLiteral("'");
}

QString MenuQueries::Q5(const QString &code)
{
    return QStringLiteral("select menucatalog,progid,menuname,systemcode from xt_menu where menucode='") + quoted(code)
        + QStringLiteral("'");
}

QString MenuQueries::Q6(const QString &code)
{
    return QStringLiteral("select menucatalog,progID,menuname,systemcode,menucode from xt_menu where menucode='")
        + quoted(code) + QStringLiteral("'");
}

QString MenuQueries::Q7(const QString &code)
{
    return QStringLiteral("select menucatalog,progID,menuname,systemcode from xt_menu where menucode='") + quoted(code)
        + QStringLiteral("'");
}

QString MenuQueries::Q8(int32_t programNumber)
{
    return QStringLiteral("select menucatalog,progID,menuname,systemcode from xt_menu where progID=")
        + QString::number(programNumber);
}

QString MenuQueries::Q9(int32_t programNumber)
{
    return QStringLiteral("SELECT progCommandLine From xt_objects Where ProgID=") + QString::number(programNumber);
}

QString MenuQueries::Q10(int32_t programNumber)
{
    return QStringLiteral("select systemcode from xt_objects where progID=") + QString::number(programNumber);
}

QString MenuQueries::Q11(const QString &code)
{
    // A code holding a pattern character has them matched as themselves; any
    // other code keeps the plain pattern, so the statement stays as it was.
    const bool wildcards = code.contains(QLatin1Char('_')) || code.contains(QLatin1Char('%'));
    QString prefix = code;
    if (wildcards) {
        prefix.replace(QLatin1Char('!'), QStringLiteral("!!"));
        prefix.replace(QLatin1Char('_'), QStringLiteral("!_"));
        prefix.replace(QLatin1Char('%'), QStringLiteral("!%"));
    }
    return QStringLiteral("SELECT menucode ,menuname FROM xt_menu A WHERE inActive <> 1 and menuismx=1 and "
                          "menuIsMajor=1 and MenuType='报表' and menucode like '")
        + quoted(prefix) + (wildcards ? QStringLiteral("%' escape '!'") : QStringLiteral("%'"))
        + QStringLiteral(" ORDER BY parent,menuorder");
}

QString MenuQueries::searchableEntries()
{
    return QStringLiteral("select m.menucode,m.menuname,m.progID,m.menucatalog from xt_menu m inner join xt_mode d on "
                          "m.systemcode=d.systemcode where m.inActive=0 order by m.menucode");
}

} // namespace jx
