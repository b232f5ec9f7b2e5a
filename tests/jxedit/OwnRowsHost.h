#pragma once

// A host whose listings, customers and follow-ups are the test's own, so
// every score, date and reminder is known.

#include "FunctionHost.h"

#include <QRegularExpression>
#include <QTableView>

class OwnRowsHost : public FunctionHost

{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Rows of our own, so every score is known.
        for (const char *table : {"cj_offer", "yj_commission", "ht_contract", "gj_follow", "jx_matchalert", "fy_house", "kh_customer"})
            ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from ") + QString::fromLatin1(table)));
    }
    void listing(int id, const char *dealType, const char *district, double price, double area, int rooms,
                 const char *status = "有效", const char *agent = "王志强")
    {
        ASSERT_TRUE(t.db->ExecuteParams(
            QStringLiteral("insert into fy_house (id,code,dealtype,district,community,rooms,area,price,agent,status,regdate)"
                           " values (?,?,?,?,'测试小区',?,?,?,?,?,'2026-01-01')"),
            {id, QStringLiteral("FY%1").arg(id, 6, 10, QLatin1Char('0')), QString::fromUtf8(dealType), QString::fromUtf8(district), rooms, area,
             price, QString::fromUtf8(agent), QString::fromUtf8(status)}))
            << t.db->LastError().Description().toStdString();
    }
    void customer(int id, const char *name, const char *dealType, const char *districts, double priceMin, double priceMax, double areaMin,
                  double areaMax, int rooms, const char *status = "有效", const char *agent = "王志强")
    {
        const QString list = QString::fromUtf8(districts);
        ASSERT_TRUE(t.db->ExecuteParams(
            QStringLiteral("insert into kh_customer (id,name,phone,dealtype,district,districts,pricemin,pricemax,areamin,areamax,rooms,agent,status,regdate)"
                           " values (?,?,?,?,?,?,?,?,?,?,?,?,?,'2026-01-01')"),
            {id, QString::fromUtf8(name), QStringLiteral("1390571%1").arg(id, 4, 10, QLatin1Char('0')), QString::fromUtf8(dealType),
             list.isEmpty() ? QVariant() : QVariant(list.section(QRegularExpression(QStringLiteral("[、,，\\s]+")), 0, 0)), list, priceMin, priceMax, areaMin, areaMax,
             rooms, QString::fromUtf8(agent), QString::fromUtf8(status)}))
            << t.db->LastError().Description().toStdString();
    }
    void follow(int id, int house, int customer, const char *followDate, const char *nextDate, const char *agent = "李秀英")
    {
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into gj_follow (id,houseid,customerid,followdate,nextdate,method,agent,content)"
                                                       " values (?,?,?,?,?,'电话',?,'约看房')"),
                                        {id, house > 0 ? QVariant(house) : QVariant(), customer > 0 ? QVariant(customer) : QVariant(),
                                         QString::fromUtf8(followDate), QString::fromUtf8(nextDate), QString::fromUtf8(agent)}))
            << t.db->LastError().Description().toStdString();
    }
    // The rows of a grid as "column 0|column 1|...".
    static QStringList gridRows(QTableView *view, int columns)
    {
        QStringList shown;
        for (int r = 0; r < view->model()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << view->model()->index(r, c).data().toString();
            shown << cells.join(u'|');
        }
        return shown;
    }
    qvcontrols::ControlSite *open(int prog, int id)
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("edit%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(id), com::Variant::fromInt16(2)}));
        return site;
    }
    // The match list as shown: "score | reasons | first field" per row.
    QStringList match(qvcontrols::ControlSite *site)
    {
        events.clear();
        trigger(site, "match");
        return gridRows(child<QWidget>(site, QStringLiteral("matches"))->findChild<QTableView *>(), 3);
    }
    // The reminder list as `user` sees it: "kind|day|what|agent" per row.
    QStringList reminders(const QString &user)
    {
        context.Environment().SetUserName(user);
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oalert"), QStringLiteral("alert%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(0)})) << errorText(site).toStdString();
        const QStringList rows = gridRows(site->widget()->findChild<QTableView *>(), 4);
        context.Environment().SetUserName(QStringLiteral("admin"));
        return rows;
    }
    QString lastMessage() const
    {
        const auto messages = eventsNamed(QStringLiteral("message"));
        return messages.empty() ? QString() : messages.back().params.value(0).toString();
    }
    static bool save(qvcontrols::ControlSite *site) { return com::toQVariant(com::call(site->object(), QStringLiteral("Save"))).toBool(); }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }
    int m_sites = 0;
};
