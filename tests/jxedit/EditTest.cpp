#include "FunctionHost.h"

#include "platform/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {

class EditTest : public FunctionHost
{
protected:
    static QLineEdit *line(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("field_") + QString::fromLatin1(field));
    }
    static QLineEdit *lookup(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("lookup_") + QString::fromLatin1(field));
    }
    static QString error(qvcontrols::ControlSite *site, const char *field)
    {
        QLabel *label = child<QLabel>(site, QStringLiteral("error_") + QString::fromLatin1(field));
        return label && !label->isHidden() ? label->text() : QString();
    }
    static int mode(qvcontrols::ControlSite *site) { return com::toQVariant(com::get(site->object(), QStringLiteral("Mode"))).toInt(); }
    static bool save(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::call(site->object(), QStringLiteral("Save"))).toBool();
    }
    // Function window: data as a double, mode as a 16-bit integer.
    qvcontrols::ControlSite *openRecord(int prog, double id, int16_t m, const QString &name = QStringLiteral("edit"),
                                        AppContext *ctx = nullptr)
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(id), com::Variant::fromInt16(m)}, ctx));
        return site;
    }
    void fillNewListing(qvcontrols::ControlSite *site, const QString &code)
    {
        line(site, "code")->setText(code);
        lookup(site, "district")->setText(QStringLiteral("滨江区"));
        line(site, "community")->setText(QStringLiteral("江南春晓"));
        line(site, "rooms")->setText(QStringLiteral("3"));
        line(site, "area")->setText(QStringLiteral("98.5"));
        line(site, "price")->setText(QStringLiteral("420"));
        line(site, "ownerphone")->setText(QStringLiteral("13905710099"));
    }
};

TEST_P(EditTest, ViewShowsTheRecordReadOnlyAndEditSavesWithTheVersionAdvanced)
{
    qvcontrols::ControlSite *view = openRecord(1001, 5, 0);
    EXPECT_EQ(mode(view), 0);
    EXPECT_EQ(line(view, "code")->text(), QStringLiteral("FY000005"));
    EXPECT_TRUE(line(view, "community")->isReadOnly());
    EXPECT_FALSE(save(view));

    qvcontrols::ControlSite *edit = openRecord(1001, 5, 2, QStringLiteral("edit2"));
    EXPECT_EQ(mode(edit), 2);
    const QString before = line(edit, "community")->text();
    line(edit, "community")->setText(QStringLiteral("新城时代广场"));
    events.clear();
    ASSERT_TRUE(save(edit)) << com::toQVariant(com::get(edit->object(), QStringLiteral("ErrorText"))).toString().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select community from fy_house where id=5")).toString(), QStringLiteral("新城时代广场"));
    EXPECT_EQ(scalar(QStringLiteral("select version from fy_house where id=5")).toInt(), 2);
    // The save is recorded in the operation log through the host, with what changed.
    const auto logged = eventsNamed(QStringLiteral("errmessage"));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].params.at(0).toString(),
              QStringLiteral("修改记录 程序<1001> 记录<5>：community：%1→新城时代广场").arg(before));
    EXPECT_EQ(logged[0].params.at(1).toInt(), 48);
    EXPECT_EQ(logged[0].params.at(2).toString(), QStringLiteral("JxEdit"));
}

TEST_P(EditTest, NewRecordFromTheMainWindowIsStoredAndItsTextKeyOpensItAgain)
{
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("edit3"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1005), com::Variant::fromInt16(0)}));
    EXPECT_EQ(mode(site), 1);
    // The rental entry program starts a listing to let, dated today.
    EXPECT_EQ(child<QComboBox>(site, QStringLiteral("field_dealtype"))->currentText(), QStringLiteral("出租"));
    EXPECT_EQ(line(site, "regdate")->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    fillNewListing(site, QStringLiteral("FY900001"));
    ASSERT_TRUE(save(site)) << com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().toStdString();
    EXPECT_EQ(mode(site), 2);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house where code='FY900001' and dealtype='出租' and area=98.5")).toInt(), 1);
    ASSERT_FALSE(eventsNamed(QStringLiteral("errmessage")).empty());
    EXPECT_TRUE(eventsNamed(QStringLiteral("errmessage")).back().params.at(0).toString().startsWith(QStringLiteral("新增记录 程序<1005> 记录<301>")));

    // A function window handed a text key: sParameters "sID" after Py_Init.
    qvcontrols::ControlSite *byCode = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("edit4"));
    ASSERT_TRUE(start(byCode, {com::Variant::fromInt32(1001), com::Variant::fromInt16(0), com::Variant::fromInt16(2)}));
    EXPECT_FALSE(save(byCode)); // no record yet: nothing to write over
    EXPECT_EQ(com::toQVariant(com::get(byCode->object(), QStringLiteral("ErrorText"))).toString(), QStringLiteral("没有打开要修改的记录"));
    qvcontrols::ControlSite *report = add(QStringLiteral("JxEdit.oeditrpt"), QStringLiteral("rpt"));
    ASSERT_TRUE(start(report, {com::Variant::fromInt32(1004), com::Variant()}));
    com::ComPtr<IDispatch> set = com::objectOf(lastArg(1)); // the report handed a parameter set back
    com::call(set.get(), QStringLiteral("Add"), {com::Variant::fromInt32(0), com::Variant::fromInt32(0), com::Variant::fromInt32(0),
                                                 com::Variant::fromString(QStringLiteral("sID")), com::Variant::fromString(QStringLiteral("FY900001")),
                                                 com::Variant::fromInt32(203), com::Variant::fromInt32(0)});
    com::put(byCode->object(), QStringLiteral("sParameters"), com::Variant::fromDispatch(set.get()));
    EXPECT_EQ(com::toQVariant(com::get(byCode->object(), QStringLiteral("RecordId"))).toInt(), 301);
    EXPECT_EQ(line(byCode, "community")->text(), QStringLiteral("江南春晓"));
}

TEST_P(EditTest, RefusalsAreShownAtTheFieldsAndNothingIsWritten)
{
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
    fillNewListing(site, QStringLiteral("FY000001")); // taken
    line(site, "area")->setText(QStringLiteral("九十"));
    line(site, "rooms")->setText(QStringLiteral("2.5"));
    line(site, "regdate")->setText(QStringLiteral("2026-02-30"));
    line(site, "ownerphone")->setText(QStringLiteral("12345"));
    line(site, "price")->setText(QStringLiteral("-3"));
    EXPECT_FALSE(save(site));
    EXPECT_EQ(error(site, "area"), QStringLiteral("“面积(㎡)”必须是数字"));
    EXPECT_EQ(error(site, "rooms"), QStringLiteral("“房间数”必须是整数"));
    EXPECT_EQ(error(site, "regdate"), QStringLiteral("“登记日期”不是有效的日期（格式：年-月-日，如 2026-01-31）"));
    EXPECT_EQ(error(site, "ownerphone"), QStringLiteral("“业主电话”不是有效的电话号码"));
    EXPECT_EQ(error(site, "price"), QStringLiteral("“价格(万元/元每月)”应在 0.01 到 100000000 之间"));
    EXPECT_EQ(line(site, "area")->text(), QStringLiteral("九十")); // the typing stays

    line(site, "area")->setText(QStringLiteral("90"));
    line(site, "rooms")->setText(QStringLiteral("2"));
    line(site, "regdate")->setText(QStringLiteral("2026-02-28"));
    line(site, "ownerphone")->setText(QStringLiteral("0571-88886666"));
    line(site, "price")->setText(QStringLiteral("300"));
    EXPECT_FALSE(save(site));
    EXPECT_EQ(error(site, "area"), QString());
    EXPECT_TRUE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().contains(QStringLiteral("FY000001 已存在")));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house")).toInt(), 300);
    EXPECT_EQ(mode(site), 1);
}

TEST_P(EditTest, ASaveThatFailsHalfwayLeavesNothingWritten)
{
    // The definition names a column the table lacks: the insert fails after
    // the new key was taken inside the transaction.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_funccolumn values (1001, 99, 'nosuch', '不存在', 'text', 80, 0, '', '', '', '', '')")));
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromInt16(0)}));
    fillNewListing(site, QStringLiteral("FY900002"));
    EXPECT_FALSE(save(site));
    EXPECT_TRUE(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().startsWith(QStringLiteral("保存失败：")));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house where code='FY900002'")).toInt(), 0);
    EXPECT_EQ(line(site, "code")->text(), QStringLiteral("FY900002"));
    // The connection is usable again: no transaction was left open.
    EXPECT_TRUE(t.db->BeginTrans());
    EXPECT_TRUE(t.db->RollbackTrans());
}

TEST_P(EditTest, TheSecondOfTwoWorkstationsFindsTheRecordChanged)
{
    std::unique_ptr<Database> second = secondConnection();
    AppContext otherContext;
    ASSERT_TRUE(otherContext.Attach(second.get(), 0));
    CurrentUser otherUser(&otherContext);
    otherUser.SetUserName(QStringLiteral("admin"));
    ASSERT_TRUE(otherUser.Login(QString()));
    qvcontrols::ControlSite *a = openRecord(1001, 7, 2, QStringLiteral("a"));
    qvcontrols::ControlSite *b = openRecord(1001, 7, 2, QStringLiteral("b"), &otherContext);
    line(a, "community")->setText(QStringLiteral("甲的修改"));
    line(b, "community")->setText(QStringLiteral("乙的修改"));
    ASSERT_TRUE(save(a));

    {
        // B compares, then cancels: nothing of his is written, his typing stays.
        jx::ScopedMessageBoxRecorder boxes(jx::Cancel);
        boxes.queueAnswer(jx::No);
        boxes.queueAnswer(jx::OK);
        boxes.queueAnswer(jx::Cancel);
        EXPECT_FALSE(save(b));
        ASSERT_EQ(boxes.boxes().size(), 3u);
        EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("保存冲突"));
        EXPECT_TRUE(boxes.boxes()[1].text.contains(QStringLiteral("小区：您的“乙的修改”，已保存的“甲的修改”")))
            << boxes.boxes()[1].text.toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("select community from fy_house where id=7")).toString(), QStringLiteral("甲的修改"));
    EXPECT_EQ(line(b, "community")->text(), QStringLiteral("乙的修改"));
    {
        // Then he saves his anyway.
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        EXPECT_TRUE(save(b));
    }
    EXPECT_EQ(scalar(QStringLiteral("select community from fy_house where id=7")).toString(), QStringLiteral("乙的修改"));
    EXPECT_EQ(scalar(QStringLiteral("select version from fy_house where id=7")).toInt(), 3);
    container.reset(); // the controls let go of the second context before it goes
}

TEST_P(EditTest, DeletingAListingWithAContractIsRefusedAndCloseAsksAboutChanges)
{
    ASSERT_GT(scalar(QStringLiteral("select count(*) from ht_contract where houseid=10")).toInt(), 0);
    qvcontrols::ControlSite *site = openRecord(1001, 10, 2);
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        trigger(site, "delete");
    }
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString(), QStringLiteral("该房源已有合同、跟进、带看或出价记录，不能删除"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house where id=10")).toInt(), 1);
    {
        // A viewing alone keeps a listing too, with the same words rather than the database's refusal.
        const int lonely = scalar(QStringLiteral("select min(id) from fy_house h where not exists (select 1 from ht_contract c where c.houseid=h.id)"
                                                 " and not exists (select 1 from gj_follow f where f.houseid=h.id)"
                                                 " and not exists (select 1 from cj_offer o where o.houseid=h.id)"
                                                 " and not exists (select 1 from dk_viewing v where v.houseid=h.id)"))
                               .toInt();
        ASSERT_GT(lonely, 0);
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime) values"
                                                       " ((select coalesce(max(id),0)+1 from dk_viewing),?,(select min(id) from kh_customer),null,'2026-12-01','10:00')"),
                                        {lonely}))
            << t.db->LastError().Description().toStdString();
        qvcontrols::ControlSite *viewed = openRecord(1001, lonely, 2, QStringLiteral("viewed"));
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        trigger(viewed, "delete");
        EXPECT_EQ(com::toQVariant(com::get(viewed->object(), QStringLiteral("ErrorText"))).toString(),
                  QStringLiteral("该房源已有合同、跟进、带看或出价记录，不能删除"));
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house where id=%1").arg(lonely)).toInt(), 1);
    }

    line(site, "floor")->setText(QStringLiteral("5/18"));
    events.clear();
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Cancel);
        trigger(site, "close");
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("“房源登记”的记录已修改，是否保存？"));
        EXPECT_EQ(boxes.boxes()[0].style & 7, jx::SaveDiscardCancel);
    }
    EXPECT_TRUE(eventsNamed(QStringLiteral("unload")).empty());
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        trigger(site, "close");
    }
    ASSERT_EQ(eventsNamed(QStringLiteral("unload")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("unload"))[0].params, QVariantList{true});
    EXPECT_NE(scalar(QStringLiteral("select floor from fy_house where id=10")).toString(), QStringLiteral("5/18"));
}

TEST_P(EditTest, ACustomersRecordShowsTheListingsThatFitHimBestFirst)
{
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update kh_customer set dealtype='出售',district='西湖区',districts='西湖区',pricemin=100,"
                                             "pricemax=400,areamin=0,areamax=0,rooms=0,status='有效' where id=3")));
    qvcontrols::ControlSite *site = openRecord(2001, 3, 0);
    auto *grid = site->widget()->findChild<QWidget *>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("Mode"))).toInt(), 0);
    events.clear();
    trigger(site, "match");
    // Within his budget, or within the band of 10 % beyond it.
    const int expected = scalar(QStringLiteral("select count(*) from fy_house where status='有效' and dealtype='出售' and district='西湖区'"
                                               " and price>=90 and price<=440")).toInt();
    ASSERT_GT(expected, 0);
    ASSERT_FALSE(eventsNamed(QStringLiteral("message")).empty());
    EXPECT_EQ(eventsNamed(QStringLiteral("message")).back().params.at(0).toString(), QStringLiteral("匹配到 %1 条").arg(expected));
    auto *view = child<QWidget>(site, QStringLiteral("matches"))->findChild<QTableView *>();
    ASSERT_NE(view, nullptr);
    QAbstractItemModel *rows = view->model();
    ASSERT_EQ(rows->rowCount(), expected);
    // Best score first; a listing inside the budget scores in full.
    auto percent = [&](int r) { return rows->index(r, 0).data().toString().section(u' ', 1).chopped(1).toInt(); };
    for (int r = 0; r < rows->rowCount(); ++r) {
        if (r > 0) {
            ASSERT_GE(percent(r - 1), percent(r));
        }
        const double price = rows->index(r, 7).data(Qt::EditRole).toDouble();
        EXPECT_EQ(percent(r) == 100, price >= 100 && price <= 400) << price;
    }
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("总价在预算内 · 同区域"));
    const int firstId = scalar(QStringLiteral("select id from fy_house where code='%1'").arg(rows->index(0, 2).data().toString())).toInt();
    events.clear();
    emit view->doubleClicked(rows->index(0, 0));
    ASSERT_EQ(eventsNamed(QStringLiteral("detaile")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("detaile"))[0].params, (QVariantList{1001, firstId}));
}

TEST_P(EditTest, ADatabaseThatGoesAwayDuringTheEditKeepsTheTypingAndSaysWhy)
{
    qvcontrols::ControlSite *site = openRecord(1001, 12, 2);
    line(site, "community")->setText(QStringLiteral("断线前的输入"));
    t.db->Close();
    EXPECT_FALSE(save(site));
    const QString why = com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    EXPECT_TRUE(why.startsWith(QStringLiteral("保存失败：数据库没有打开"))) << why.toStdString();
    EXPECT_EQ(line(site, "community")->text(), QStringLiteral("断线前的输入"));
}

INSTANTIATE_TEST_SUITE_P(Engines, EditTest, ::testing::Values("sqlite", "postgres"));

} // namespace
