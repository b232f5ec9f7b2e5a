#include "console/workspace/ReportMenu.h"

#include "console/workspace/MainForm.h"
#include "console/workspace/MenuQueries.h"

#include "controls/Button2.h"
#include "controls/Panel.h"
#include "components/data/Database.h"
#include "components/data/Recordset.h"
#include "platform/Numeric.h"

#include <utility>

namespace jx {

namespace {
// Space between one report button and the next.
constexpr int kButtonGap = 50;
} // namespace

ReportMenu::ReportMenu(MainForm &ui, std::function<void(int)> click) : m_ui(ui), m_click(std::move(click))
{
}

void ReportMenu::clear()
{
    while (m_ui.reports.size() > 1) {
        qvcontrols::Button2 *old = m_ui.reports.back();
        m_ui.reports.pop_back();
        old->hide();
        old->setObjectName(QString());
        old->deleteLater();
    }
}

bool ReportMenu::load(::Database &db, const QString &code)
{
    Recordset rs = db.Query(MenuQueries::Q11(code), 1).Recordset();
    if (rs.Eof()) {
        rs.Close();
        return false;
    }
    for (; !rs.Eof(); rs.MoveNext()) {
        const qvcontrols::Button2 *previous = m_ui.reports.back();
        const int index = static_cast<int>(m_ui.reports.size());
        auto *button = new qvcontrols::Button2(m_ui.picRpt);
        button->setObjectName(QStringLiteral("ImgRpt_%1").arg(index));
        button->setIndex(index);
        m_ui.reports.push_back(button);
        QObject::connect(button, &qvcontrols::ImageButton::Click, m_ui.picRpt, [this](int i) { m_click(i); });
        button->setCaption(QStringLiteral("  ") + toText(rs.Fields(QStringLiteral("menuname"))) + QStringLiteral("  "));
        button->Move(previous->Left(), previous->Top() + previous->Height() + kButtonGap, previous->Width(),
                     previous->Height());
        button->ZOrder(0);
        button->CopyAppearance(*previous);
        button->setTag(toText(rs.Fields(QStringLiteral("menucode"))));
        button->setPicture(previous->Picture());
        button->show();
    }
    return true;
}

} // namespace jx
