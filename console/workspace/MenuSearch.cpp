#include "console/workspace/MenuSearch.h"

#include "console/workspace/FunctionControls.h"
#include "console/workspace/MenuQueries.h"
#include "console/workspace/PinyinSpeller.h"

#include "components/context/AppContext.h"
#include "components/data/Database.h"
#include "platform/SettingsStore.h"
#include "platform/Numeric.h"

#include <QHash>

#include <algorithm>

namespace jx {

namespace {

// How well one word fits one entry; 0 when it does not. The order says what
// a user means first: the name as typed, then its initials, then the code.
int wordScore(const MenuSearch::Entry &e, const QString &word)
{
    const QString name = e.name.toLower();
    if (name == word)
        return 100;
    if (name.startsWith(word))
        return 90;
    if (!e.initials.isEmpty() && e.initials == word)
        return 88;
    if (!e.initials.isEmpty() && e.initials.startsWith(word))
        return 85;
    if (e.code.toLower() == word)
        return 82;
    if (e.code.toLower().startsWith(word))
        return 80;
    if (!e.spelled.isEmpty() && e.spelled.startsWith(word))
        return 75;
    if (name.contains(word))
        return 70;
    if (!e.initials.isEmpty() && e.initials.contains(word))
        return 60;
    if (!e.spelled.isEmpty() && e.spelled.contains(word))
        return 50;
    return 0;
}

QString recentKey(const QString &user)
{
    return QStringLiteral("_FindRecent_") + user.toLower();
}

} // namespace

jx::Result<> MenuSearch::load(::Database &db, ::AppContext *context)
{
    m_entries.clear();
    const QueryResult result = db.Query(MenuQueries::searchableEntries(), 1);
    if (!result.ok()) {
        const QString why = db.LastError().Description();
        db.ResetError();
        return jx::fail(why);
    }
    ::Recordset rs = result.Recordset();
    QHash<int32_t, bool> allowed;
    for (; !rs.Eof(); rs.MoveNext()) {
        Entry e;
        e.code = trimBlanks(toText(rs.Fields(QStringLiteral("menucode"))));
        e.name = trimBlanks(toText(rs.Fields(QStringLiteral("menuname"))));
        e.program = MenuQueries::programNumber(rs.Fields(QStringLiteral("progID")));
        e.kind = MenuQueries::programNumber(rs.Fields(QStringLiteral("menucatalog")));
        if (e.code.isEmpty() || e.name.isEmpty())
            continue;
        if (FunctionControls::NeedsRunRight(e.program, e.kind) && context) {
            auto it = allowed.find(e.program);
            if (it == allowed.end())
                it = allowed.insert(e.program, context->Rights(e.program).Allowed(ProgramRights::Run));
            if (!*it)
                continue;
        }
        m_entries.push_back(std::move(e));
    }
    rs.Close();
    return {};
}

void MenuSearch::spell(std::vector<Entry> &entries, const PinyinSpeller &speller)
{
    for (Entry &e : entries) {
        const QStringList syllables = speller.spell(e.name);
        e.spelled = syllables.join(QString());
        e.initials.clear();
        for (const QString &s : syllables)
            if (!s.isEmpty())
                e.initials += s.at(0);
    }
}

void MenuSearch::spell(const PinyinSpeller &speller)
{
    spell(m_entries, speller);
}

std::vector<const MenuSearch::Entry *> MenuSearch::find(const QString &typed, const QStringList &recent, int limit) const
{
    const QStringList words = typed.toLower().split(u' ', Qt::SkipEmptyParts);
    struct Hit
    {
        const Entry *entry;
        int score;
        int recency; // position in the recent list, or a large number
        size_t order;
    };
    std::vector<Hit> hits;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &e = m_entries[i];
        int score = 0;
        for (const QString &w : words) {
            const int s = wordScore(e, w);
            if (s == 0) {
                score = -1;
                break;
            }
            score += s;
        }
        if (score < 0)
            continue;
        const qsizetype r = recent.indexOf(e.code);
        hits.push_back({&e, score, r < 0 ? int(recent.size()) + 1 : int(r), i});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.recency != b.recency)
            return a.recency < b.recency;
        return a.order < b.order;
    });
    std::vector<const Entry *> out;
    for (const Hit &h : hits) {
        if (int(out.size()) >= limit)
            break;
        out.push_back(h.entry);
    }
    return out;
}

QStringList MenuSearch::recentCodes(const QString &app, const QString &user)
{
    return SettingsStore::getSetting(app, QStringLiteral("main"), recentKey(user)).split(u',', Qt::SkipEmptyParts);
}

void MenuSearch::noteOpened(const QString &app, const QString &user, const QString &code)
{
    QStringList codes = recentCodes(app, user);
    codes.removeAll(code);
    codes.prepend(code);
    while (codes.size() > kRecentKept)
        codes.removeLast();
    SettingsStore::saveSetting(app, QStringLiteral("main"), recentKey(user), codes.join(u','));
}

} // namespace jx
