#include "console/workspace/NavigationMenu.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/MainForm.h"
#include "console/workspace/MenuIconCache.h"
#include "console/workspace/MenuQueries.h"

#include "controls/Button2.h"
#include "controls/NavContainer.h"
#include "controls/NavItem.h"
#include "controls/NavPanel.h"
#include "controls/ShadowLabel.h"
#include "components/data/Database.h"
#include "components/data/Recordset.h"
#include "platform/Numeric.h"
#include "platform/SettingsStore.h"

#include <QScopeGuard>

#include <utility>
#include <vector>

namespace jx {

namespace {

const QString kSection = QStringLiteral("main");
// Space between one menu button and the next.
constexpr int kButtonGap = 120;

// A failed end-of-rows test counts as the end, so a loop over the rows always ends.
bool atEnd(const Recordset &rs, const QString &what)
{
    try {
        return rs.Eof();
    } catch (const std::exception &e) {
        Logger::WriteSwallowed(what, e);
        return true;
    }
}

} // namespace

NavigationMenu::NavigationMenu(ConsoleSession &session, MainForm &ui, std::function<void(int)> click)
    : m_session(session), m_ui(ui), m_click(std::move(click))
{
}

QString NavigationMenu::app() const
{
    return m_session.Config() ? m_session.Config()->Caption() : QString();
}

void NavigationMenu::addGroups(Recordset &rs, MenuIconCache &icons)
{
    QStringList seen;
    for (; !atEnd(rs, QStringLiteral("读取模块大类")); rs.MoveNext()) {
        const QString name = trimBlanks(toText(rs.Fields(QStringLiteral("systemcatalog"))));
        if (seen.contains(name))
            continue;
        seen << name;
        const QString key = trimBlanks(toText(rs.Fields(QStringLiteral("systemcode"))));
        const QPixmap icon = icons.LoadMenuIcon(trimBlanks(toText(rs.Fields(QStringLiteral("menucode")))), 1);
        m_ui.navPanel->Add(name, key, icon, m_ui.navContainer, true);
    }
}

void NavigationMenu::restoreGroup()
{
    qvcontrols::NavPanel *panel = m_ui.navPanel;
    if (panel->Count() == 0)
        return;
    const QString active = SettingsStore::getSetting(app(), kSection, QStringLiteral("NavPaneActiveItem"));
    qvcontrols::NavItem *item = active.isEmpty() ? nullptr : panel->Item(active);
    panel->setSelectedItem(item ? item : panel->Item(1));
    panel->setVisibleItems(
        clng(val(SettingsStore::getSetting(app(), kSection, QStringLiteral("NavPaneVisibleItems"), QStringLiteral("3")))));
}

void NavigationMenu::clearButtons()
{
    while (m_ui.buttons.size() > 1) {
        delete m_ui.buttons.back();
        m_ui.buttons.pop_back();
    }
}

int NavigationMenu::buildButtons(const QString &group, MenuIconCache *icons)
{
    // Removed, built and placed unseen, then painted once; the icons are read
    // in one statement after the buttons, rather than one per button.
    m_ui.navContainer->suspendLayout();
    const auto paintAgain = qScopeGuard([this] { m_ui.navContainer->resumeLayout(); });
    clearButtons();
    ::AppContext *context = m_session.AppContext();
    ::Database *db = context ? context->Database() : nullptr;
    if (!db)
        return 0;
    Recordset rs;
    try {
        rs = db->Query(MenuQueries::Q2(group), 1).Recordset();
    } catch (const std::exception &e) {
        Logger::WriteSwallowed(QStringLiteral("读取菜单按钮"), e);
    }
    if (!db->LastError().Description().isEmpty()) {
        WriteLog(db->LastError().Description(), LogError);
        db->ResetError();
        return 0;
    }
    const QString stored = SettingsStore::getSetting(app(), kSection, QStringLiteral("_ButTag") + group);
    int selected = 0;
    std::vector<std::pair<qvcontrols::Button2 *, QString>> iconsToLoad;
    for (; !atEnd(rs, QStringLiteral("读取菜单按钮")); rs.MoveNext()) {
        const qvcontrols::Button2 *previous = m_ui.buttons.back();
        const int index = static_cast<int>(m_ui.buttons.size());
        auto *button = new qvcontrols::Button2(m_ui.navContainer);
        button->setObjectName(QStringLiteral("But_%1").arg(index));
        button->setIndex(index);
        m_ui.buttons.push_back(button);
        QObject::connect(button, &qvcontrols::ImageButton::Click, m_ui.navContainer, [this](int i) { m_click(i); });
        button->setCaption(QStringLiteral("  ") + toText(rs.Fields(QStringLiteral("menuname"))));
        button->Move(previous->Left(), previous->Top() + previous->Height() + kButtonGap, previous->Width(),
                     previous->Height());
        button->ZOrder(0);
        button->CopyAppearance(*previous);
        const QString code = toText(rs.Fields(QStringLiteral("menucode")));
        button->setTag(code);
        button->show();
        iconsToLoad.emplace_back(button, trimBlanks(code));
        if (!stored.isEmpty() && trimBlanks(button->Caption()) == stored)
            selected = index;
    }
    if (icons) {
        QStringList codes;
        for (const auto &[button, code] : iconsToLoad)
            codes << code;
        // One icon that cannot be read leaves its button without; the others still get theirs.
        const auto guarded = [](const auto &f) {
            try {
                f();
            } catch (const std::exception &e) {
                Logger::WriteSwallowed(QStringLiteral("读取菜单图标"), e);
            }
        };
        guarded([&] { icons->prefetch(codes, 1); });
        for (const auto &[button, code] : iconsToLoad)
            guarded([&, button = button, code = code] { button->setPicture(icons->LoadMenuIcon(code, 1)); });
        icons->forget();
    }
    for (auto *b : m_ui.buttons)
        b->setLeft((m_ui.navPanel->Width() - b->Width()) / 2);
    if (selected != 0)
        return selected;
    return m_ui.buttons.size() > 1 ? 1 : 0;
}

QString NavigationMenu::groupCaption() const
{
    qvcontrols::NavItem *item = m_ui.navPanel->SelectedItem();
    return item ? item->Caption() : QString();
}

QString NavigationMenu::lastCrumb() const
{
    const QString crumb = m_ui.lbl[1]->Caption();
    const qsizetype arrow = crumb.lastIndexOf(QStringLiteral("->"));
    return trimBlanks(arrow >= 0 ? crumb.mid(arrow + 2) : crumb);
}

void NavigationMenu::rememberEntry()
{
    SettingsStore::saveSetting(app(), kSection, QStringLiteral("_ButTag") + groupCaption(), lastCrumb());
}

void NavigationMenu::store()
{
    qvcontrols::NavItem *item = m_ui.navPanel->SelectedItem();
    if (!item)
        return;
    SettingsStore::saveSetting(app(), kSection, QStringLiteral("NavPaneActiveItem"), item->Key());
    SettingsStore::saveSetting(app(), kSection, QStringLiteral("NavPaneVisibleItems"),
                               QString::number(m_ui.navPanel->VisibleItems()));
    SettingsStore::saveSetting(app(), kSection, QStringLiteral("_ButTag") + item->Caption(), lastCrumb());
}

} // namespace jx
