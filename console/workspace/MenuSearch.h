#pragma once

#include "platform/com/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class AppContext;
class Database;

namespace jx {

class PinyinSpeller;

// The menu entries a user may open, found by what he types: the name or a
// part of it, the pinyin initials ("fycx" for 房源查询) or the spelled-out
// pinyin, or the menu code. Knows nothing of widgets; the search box and the
// tests drive it the same way.
class MenuSearch final
{
public:
    struct Entry
    {
        QString code;
        QString name;
        int32_t program = 0;
        int32_t kind = 0;
        QString initials; // "fycx"; empty until spelled
        QString spelled;  // "fangyuanchaxun"
    };

    // Every active entry of the workspace's modes the signed-in user may open
    // (function entries without the run right are left out), in menu-code
    // order. A failure with the reason when the statement failed.
    jx::Result<> load(::Database &db, ::AppContext *context);
    void setEntries(std::vector<Entry> entries) { m_entries = std::move(entries); }
    const std::vector<Entry> &entries() const { return m_entries; }

    // Fills in the pinyin keys. Separate from load because building the
    // speller is slow: the box searches names and codes until this is done.
    void spell(const PinyinSpeller &speller);
    static void spell(std::vector<Entry> &entries, const PinyinSpeller &speller);

    // The entries that match the typed text, best first, at most `limit`.
    // Empty text: the recently opened entries (most recent first), then the
    // rest in menu order. Words separated by blanks must all match.
    std::vector<const Entry *> find(const QString &typed, const QStringList &recent, int limit) const;

    // The codes of the entries last opened through the box by this user,
    // most recent first, kept in the product's settings store.
    static QStringList recentCodes(const QString &app, const QString &user);
    static void noteOpened(const QString &app, const QString &user, const QString &code);
    static constexpr int kRecentKept = 8;

private:
    std::vector<Entry> m_entries;
};

} // namespace jx
