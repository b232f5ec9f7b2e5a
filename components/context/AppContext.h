#pragma once

#include "jx_components_export.h"

#include "components/context/CompanyInfo.h"
#include "components/data/ErrorHolder.h"
#include "components/context/RunEnvironment.h"
#include "components/context/ThemeManager.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"

#include <QString>

#include <cstdint>

class Database;
class CurrentUser;

/// Value of one option (text, "" when the option is not set).
class JX_COMPONENTS_EXPORT OptionValue final : public com::Dispatchable<OptionValue>
{
public:
    static const com::MemberTable<OptionValue> &members();
    OptionValue() = default;
    explicit OptionValue(QString value) : m_value(std::move(value)) {}
    QString Value() const { return m_value; }

private:
    QString m_value;
};

/// Rights of the signed-in user on one program number: the user's own mask
/// there (jx_right) OR his role's (jx_roleright); an administrator holds every bit.
class JX_COMPONENTS_EXPORT ProgramRights final : public com::Dispatchable<ProgramRights>
{
public:
    /// The bits of a rights mask, as stored in jx_right and jx_roleright and
    /// asked for through Allowed by every library.
    enum Bit : int32_t {
        Run = 1,            ///< 运行: open the program at all
        Add = 2,            ///< 新增
        Change = 4,         ///< 修改
        Delete = 8,         ///< 删除
        Export = 16,        ///< 导出
        Print = 32,         ///< 打印
        SeeAllPhones = 64,  ///< 查看电话: every phone number shown in full
        OthersRecords = 128 ///< 处理他人记录: change and delete other agents' records
    };
    /// What an administrator holds: every bit, also ones added later.
    static constexpr int32_t kEverything = 0x7fffffff;

    static const com::MemberTable<ProgramRights> &members();
    ProgramRights() = default;
    explicit ProgramRights(int32_t mask) : m_mask(mask) {}
    /// True when every bit of the requested right is granted (1 = run).
    bool Allowed(int32_t right) const { return right != 0 && (m_mask & right) == right; }
    int32_t Mask() const { return m_mask; }

private:
    int32_t m_mask = 0;
};

/// State number of one module (its accounting period).
class JX_COMPONENTS_EXPORT SystemStateInfo final : public com::Dispatchable<SystemStateInfo>
{
public:
    static const com::MemberTable<SystemStateInfo> &members();
    SystemStateInfo() = default;
    explicit SystemStateInfo(int32_t state) : m_state(state) {}
    int32_t State() const { return m_state; }

private:
    int32_t m_state = 0;
};

/// Shared services of the signed-in work: options, texts, rights, theme,
/// environment and company record, read from tables beside the menu tables
/// (jx_option, jx_text, jx_right, jx_systemstate).
///
/// Reference-counted: the console creates it with new and holds it through a
/// ComPtr; libraries it is handed to may keep references until their Clear.
class JX_COMPONENTS_EXPORT AppContext final : public com::Dispatchable<AppContext>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E06-3B5D-4C7E-9F10-2A3B4C5D6E06}";
    static const com::MemberTable<AppContext> &members();

    AppContext();
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    /// Hands the open database to the context. False when db is null or not open.
    bool Attach(::Database *db, int flags = 0);
    ::Database *Database() const { return m_db.get(); }
    const ErrorHolder &LastError() const { return m_error; }
    CompanyInfo &Company() { return m_company; }

    /// Interface text of (section, key); the default when there is none.
    QString GetText(const QString &section, const QString &key, const QString &defaultText) const;
    /// Option of a group by key name; empty value when not set.
    OptionValue Option(int32_t group, const QString &key) const;
    /// Option of a group by key number.
    OptionValue OptionByNumber(int32_t group, int32_t number) const;
    /// Rights of the signed-in user (see SetUser) on a program: his own mask
    /// OR his role's; every bit for an administrator; none without a user.
    ProgramRights Rights(int32_t programNumber) const;
    /// Code of the module that owns an option group ("" when unknown).
    QString SystemCode(int32_t group) const;
    /// State of a module.
    SystemStateInfo SystemState(const QString &systemCode, int32_t flags = 0) const;

    RunEnvironment &Environment() { return m_environment; }
    ThemeManager &Theme() { return m_theme; }

    /// The user whose rights Rights answers (late-bound: User, Nothing when
    /// none); CurrentUser::Attach sets it.
    void SetUser(CurrentUser *user) { m_user = user; }
    CurrentUser *User() const { return m_user; }

private:
    // Counted: a library that kept the context past shutdown still reaches a live object.
    com::ComPtr<::Database> m_db;
    CurrentUser *m_user = nullptr;
    mutable ErrorHolder m_error;
    CompanyInfo m_company;
    RunEnvironment m_environment;
    ThemeManager m_theme;
};
