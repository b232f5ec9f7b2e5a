#include "components/context/AppContext.h"

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"

AppContext::AppContext()
{
    // The parts live inside the context: a reference to one keeps the context.
    m_company.setLifetimeOwner(this);
    m_environment.setLifetimeOwner(this);
    m_theme.setLifetimeOwner(this);
}

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
    m_db = com::ComPtr<::Database>(db);
    return true;
}

namespace {
// First column of the first row as text; null when no row or the statement failed.
QVariant scalar(::Database *db, ErrorHolder &error, const QString &sql, const QVariantList &params)
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
    const QVariant v = scalar(m_db.get(), m_error, QStringLiteral("select textvalue from jx_text where section=? and keyname=?"),
                              {section, key});
    const QString text = v.toString();
    return text.isEmpty() ? defaultText : text;
}

OptionValue AppContext::Option(int32_t group, const QString &key) const
{
    const QVariant v = scalar(m_db.get(), m_error,
                              QStringLiteral("select optvalue from jx_option where groupno=? and lower(keyname)=lower(?)"),
                              {group, key});
    return OptionValue(v.toString());
}

OptionValue AppContext::OptionByNumber(int32_t group, int32_t number) const
{
    const QVariant v = scalar(m_db.get(), m_error, QStringLiteral("select optvalue from jx_option where groupno=? and keyno=?"),
                              {group, number});
    return OptionValue(v.toString());
}

ProgramRights AppContext::Rights(int32_t programNumber) const
{
    if (!m_user || !m_user->IsLoggedIn())
        return ProgramRights();
    if (m_user->IsAdministrator())
        return ProgramRights(ProgramRights::kEverything);
    // The role is read from the user's row now, not at sign-in, so a changed
    // role counts from the next lookup. A user without a role ('') gets none.
    const QVariant v = scalar(m_db.get(), m_error,
                              QStringLiteral("select coalesce((select rightmask from jx_right where usercode=? and progid=?),0)"
                                             " | coalesce((select r.rightmask from jx_roleright r join jx_user u on u.rolecode=r.rolecode"
                                             " where u.usercode=? and u.rolecode<>'' and r.progid=?),0)"),
                              {m_user->UserCode(), programNumber, m_user->UserCode(), programNumber});
    return ProgramRights(v.isNull() ? 0 : v.toInt());
}

QString AppContext::SystemCode(int32_t group) const
{
    return scalar(m_db.get(), m_error, QStringLiteral("select systemcode from jx_optiongroup where groupno=?"), {group}).toString();
}

SystemStateInfo AppContext::SystemState(const QString &systemCode, int32_t) const
{
    const QVariant v = scalar(m_db.get(), m_error, QStringLiteral("select state from jx_systemstate where systemcode=?"), {systemCode});
    return SystemStateInfo(v.isNull() ? 0 : v.toInt());
}

const com::MemberTable<OptionValue> &OptionValue::members()
{
    static const com::MemberTable<OptionValue> table = com::MemberTable<OptionValue>().add(
        QStringLiteral("Value"), [](OptionValue &self, const com::DispArgs &) { return com::Variant::fromString(self.Value()); });
    return table;
}

const com::MemberTable<ProgramRights> &ProgramRights::members()
{
    static const com::MemberTable<ProgramRights> table = com::MemberTable<ProgramRights>().add(
        QStringLiteral("Allowed"), [](ProgramRights &self, const com::DispArgs &a) {
            com::requireArgs(a, 1);
            return com::Variant::fromBool(self.Allowed(com::argInt(a, 0)));
        });
    return table;
}

const com::MemberTable<SystemStateInfo> &SystemStateInfo::members()
{
    static const com::MemberTable<SystemStateInfo> table = com::MemberTable<SystemStateInfo>().add(
        QStringLiteral("State"), [](SystemStateInfo &self, const com::DispArgs &) { return com::Variant::fromInt32(self.State()); });
    return table;
}

const com::MemberTable<AppContext> &AppContext::members()
{
    using com::DispArgs;
    using com::Variant;
    static const com::MemberTable<AppContext> table = com::MemberTable<AppContext>()
        .add(QStringLiteral("Attach"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            // Only this product's database object can be attached.
            ::Database *db = com::implementationOf<::Database>(com::argObject(a, 0));
            if (!db)
                throw com::RuntimeError::of(com::errors::TypeMismatch, QStringLiteral("AppContext"));
            return Variant::fromBool(self.Attach(db, com::argInt(a, 1, 0)));
        })
        .add(QStringLiteral("Database"), [](AppContext &self, const DispArgs &) {
            return self.Database() ? self.Database()->toVariant() : Variant::fromDispatch(nullptr);
        })
        .add(QStringLiteral("LastError"), [](AppContext &self, const DispArgs &) { return com::faceOf(self.LastError()); })
        .add(QStringLiteral("Company"), [](AppContext &self, const DispArgs &) { return self.Company().toVariant(); })
        .add(QStringLiteral("GetText"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return Variant::fromString(self.GetText(com::argText(a, 0), com::argText(a, 1), com::argText(a, 2)));
        })
        .add(QStringLiteral("Option"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return com::faceOf(self.Option(com::argInt(a, 0), com::argText(a, 1)));
        })
        .add(QStringLiteral("OptionByNumber"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return com::faceOf(self.OptionByNumber(com::argInt(a, 0), com::argInt(a, 1)));
        })
        .add(QStringLiteral("Rights"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return com::faceOf(self.Rights(com::argInt(a, 0)));
        })
        .add(QStringLiteral("SystemCode"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromString(self.SystemCode(com::argInt(a, 0)));
        })
        .add(QStringLiteral("SystemState"), [](AppContext &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return com::faceOf(self.SystemState(com::argText(a, 0), com::argInt(a, 1, 0)));
        })
        .add(QStringLiteral("User"), [](AppContext &self, const DispArgs &) {
            return self.User() ? self.User()->toVariant() : Variant::fromDispatch(nullptr);
        })
        .add(QStringLiteral("Environment"), [](AppContext &self, const DispArgs &) { return self.Environment().toVariant(); })
        .add(QStringLiteral("Theme"), [](AppContext &self, const DispArgs &) { return self.Theme().toVariant(); });
    return table;
}
