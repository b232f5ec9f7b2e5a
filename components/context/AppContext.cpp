#include "components/context/AppContext.h"

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"

AppContext::AppContext() = default;

AppContext::~AppContext()
{
    if (m_user)
        m_user->Attach(nullptr);
}

bool AppContext::Attach(::Database *db, int)
{
    m_error.clear();
    if (!db) {
        m_error.setDescription(QStringLiteral("没有数据库对象"));
        return false;
    }
    if (!db->IsOpen()) {
        m_error.setDescription(QStringLiteral("数据库没有打开"));
        return false;
    }
    // The context's own tables must be there, or every lookup would silently give defaults.
    const QueryResult probe = db->Query(QStringLiteral("select count(*) from jx_option"), 1);
    if (!probe.ok()) {
        m_error.setDescription(QStringLiteral("数据库中缺少系统表：%1").arg(db->LastError().Description()));
        db->ResetError();
        return false;
    }
    m_db = db;
    return true;
}

namespace {
// First column of the first row as text; null when no row or the statement failed.
QVariant scalar(::Database *db, ContextError &error, const QString &sql, const QVariantList &params)
{
    if (!db || !db->IsOpen())
        return {};
    const QueryResult r = db->QueryParams(sql, params);
    if (!r.ok()) {
        error.setDescription(db->LastError().Description());
        db->ResetError();
        return {};
    }
    return r.Value();
}
} // namespace

QString AppContext::GetText(const QString &section, const QString &key, const QString &defaultText) const
{
    const QVariant v = scalar(m_db, m_error, QStringLiteral("select textvalue from jx_text where section=? and keyname=?"),
                              {section, key});
    const QString text = v.toString();
    return text.isEmpty() ? defaultText : text;
}

OptionValue AppContext::Option(int32_t group, const QString &key) const
{
    const QVariant v = scalar(m_db, m_error,
                              QStringLiteral("select optvalue from jx_option where groupno=? and lower(keyname)=lower(?)"),
                              {group, key});
    return OptionValue(v.toString());
}

OptionValue AppContext::OptionByNumber(int32_t group, int32_t number) const
{
    const QVariant v = scalar(m_db, m_error, QStringLiteral("select optvalue from jx_option where groupno=? and keyno=?"),
                              {group, number});
    return OptionValue(v.toString());
}

ProgramRights AppContext::Rights(int32_t programNumber) const
{
    if (!m_user || !m_user->IsLoggedIn())
        return ProgramRights();
    if (m_user->IsAdministrator())
        return ProgramRights(0x7fffffff);
    const QVariant v = scalar(m_db, m_error, QStringLiteral("select rightmask from jx_right where usercode=? and progid=?"),
                              {m_user->UserCode(), programNumber});
    return ProgramRights(v.isNull() ? 0 : v.toInt());
}

QString AppContext::SystemCode(int32_t group) const
{
    return scalar(m_db, m_error, QStringLiteral("select systemcode from jx_optiongroup where groupno=?"), {group}).toString();
}

SystemStateInfo AppContext::SystemState(const QString &systemCode, int32_t) const
{
    const QVariant v = scalar(m_db, m_error, QStringLiteral("select state from jx_systemstate where systemcode=?"), {systemCode});
    return SystemStateInfo(v.isNull() ? 0 : v.toInt());
}
