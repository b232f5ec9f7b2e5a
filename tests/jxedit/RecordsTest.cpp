// Records that hold together: links chosen by name, the rules of a deal,
// rights, masked phones, the history of changes and nothing lost on close.

#include "FunctionHost.h"

#include "jxedit/Right.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class RecordsTest : public FunctionHost
{
protected:
    static QLineEdit *line(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("field_") + QString::fromLatin1(field));
    }
    static QLineEdit *link(qvcontrols::ControlSite *site, const char *field)
    {
        return child<QLineEdit>(site, QStringLiteral("lookup_") + QString::fromLatin1(field));
    }
    static QString fieldError(qvcontrols::ControlSite *site, const char *field)
    {
        QLabel *label = child<QLabel>(site, QStringLiteral("error_") + QString::fromLatin1(field));
        return label && !label->isHidden() ? label->text() : QString();
    }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }
    static bool save(qvcontrols::ControlSite *site) { return com::toQVariant(com::call(site->object(), QStringLiteral("Save"))).toBool(); }
    static int recordId(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("RecordId"))).toInt();
    }
    static bool queryClose(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::call(site->object(), QStringLiteral("QueryClose"))).toBool();
    }
    static QAction *command(qvcontrols::ControlSite *site, const char *name) { return child<QAction>(site, QString::fromLatin1(name)); }

    qvcontrols::ControlSite *newRecord(int prog, const QString &name = QStringLiteral("edit"))
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
        return site;
    }
    qvcontrols::ControlSite *openRecord(int prog, int id, const QString &name = QStringLiteral("edit"))
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(id), com::Variant::fromInt16(2)}));
        return site;
    }
    // A listing still on offer, with no contract in force, of the given kind of deal.
    int freeListing(const QString &dealType = QStringLiteral("出售"))
    {
        return scalar(QStringLiteral("select min(id) from fy_house h where status='有效' and dealtype='%1'"
                                     " and not exists (select 1 from ht_contract c where c.houseid=h.id)")
                          .arg(dealType))
            .toInt();
    }
    QString codeOf(int house) { return scalar(QStringLiteral("select code from fy_house where id=%1").arg(house)).toString(); }
    // A customer name nobody else has, so that typing it names one record.
    int uniqueCustomer(const QString &name)
    {
        const int id = scalar(QStringLiteral("select min(id) from kh_customer where status='有效'")).toInt();
        EXPECT_TRUE(t.db->ExecuteParams(QStringLiteral("update kh_customer set name=? where id=?"), {name, id}));
        return id;
    }
    qvcontrols::ControlSite *fillContract(int house, const QString &customer, double commission)
    {
        qvcontrols::ControlSite *site = newRecord(3001, QStringLiteral("contract%1").arg(++m_contracts));
        link(site, "houseid")->setText(codeOf(house).toLower()); // codes are found in any letter case
        link(site, "customerid")->setText(customer);
        child<QComboBox>(site, QStringLiteral("field_dealtype"))
            ->setCurrentText(scalar(QStringLiteral("select dealtype from fy_house where id=%1").arg(house)).toString());
        line(site, "price")->setText(QStringLiteral("300"));
        line(site, "commission")->setText(QString::number(commission));
        return site;
    }
    int m_contracts = 0;

    // Rights of the clerk on a program, as the administrator would grant them.
    void grantClerk(int prog, int mask)
    {
        t.db->ExecuteParams(QStringLiteral("delete from jx_right where usercode='0002' and progid=?"), {prog});
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into jx_right (usercode,progid,rightmask) values ('0002',?,?)"), {prog, mask}));
    }
};

TEST_P(RecordsTest, AFollowUpNamesItsCustomerByNameAndAWrongNameIsRefusedAtTheField)
{
    const int customer = uniqueCustomer(QStringLiteral("陈明远"));
    qvcontrols::ControlSite *site = newRecord(2004);
    // The agent is the signed-in user's own.
    EXPECT_EQ(link(site, "agent")->text(), QStringLiteral("王志强 · 138****0001"));
    child<QWidget>(site, QStringLiteral("field_content"))->setProperty("plainText", QStringLiteral("约周末再次带看"));

    link(site, "customerid")->setText(QStringLiteral("没有这个人"));
    EXPECT_FALSE(save(site));
    EXPECT_EQ(fieldError(site, "customerid"), QStringLiteral("没有找到“没有这个人”，请按 F4 从列表中选择"));
    EXPECT_EQ(link(site, "customerid")->text(), QStringLiteral("没有这个人")); // the typing stays

    // Neither a listing nor a customer: one of them is asked for.
    link(site, "customerid")->clear();
    EXPECT_FALSE(save(site));
    EXPECT_EQ(fieldError(site, "customerid"), QStringLiteral("请至少填写客户或房源之一"));

    link(site, "customerid")->setText(QStringLiteral("陈明远"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    const int id = recordId(site);
    EXPECT_EQ(scalar(QStringLiteral("select customerid from gj_follow where id=%1").arg(id)).toInt(), customer);
    EXPECT_TRUE(scalar(QStringLiteral("select houseid from gj_follow where id=%1").arg(id)).isNull());
    EXPECT_EQ(scalar(QStringLiteral("select agent from gj_follow where id=%1").arg(id)).toString(), QStringLiteral("王志强"));
    EXPECT_TRUE(link(site, "customerid")->text().startsWith(QStringLiteral("陈明远 · ")));

    // The follow-up list shows the customer by name, not by number.
    qvcontrols::ControlSite *list = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("list"));
    ASSERT_TRUE(start(list, {com::Variant::fromInt32(2007), com::Variant::fromString(QStringLiteral("跟进查询"))}));
    QAbstractItemModel *rows = list->widget()->findChild<QTableView *>()->model();
    ASSERT_GT(rows->rowCount(), 0);
    bool found = false;
    for (int r = 0; r < rows->rowCount() && !found; ++r)
        found = rows->index(r, 3).data().toString() == u"陈明远" && rows->index(r, 8).data().toString() == u"约周末再次带看";
    EXPECT_TRUE(found);
}

TEST_P(RecordsTest, TheSearchListChoosesARecordAndARecordDeletedMeanwhileIsRefused)
{
    for (int id : {9001, 9002})
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into kh_customer (id,name,phone,agent) values (?,'同名客户',?,'张伟')"),
                                        {id, QStringLiteral("1390000%1").arg(id)}));
    qvcontrols::ControlSite *site = newRecord(2004);
    child<QWidget>(site, QStringLiteral("field_content"))->setProperty("plainText", QStringLiteral("电话回访"));
    link(site, "customerid")->setText(QStringLiteral("同名客户"));
    EXPECT_FALSE(save(site));
    EXPECT_EQ(fieldError(site, "customerid"), QStringLiteral("“同名客户”对应多条记录，请按 F4 从列表中选择"));

    // F4 opens the list with what was typed; Enter takes the selected row.
    int listed = -1;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *view = dialog->findChild<QTableView *>(QStringLiteral("lookupList"));
        listed = view->model()->rowCount();
        view->selectRow(1);
        dialog->accept();
    });
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(link(site, "customerid"), &f4);
    EXPECT_EQ(listed, 2);
    const QString chosen = link(site, "customerid")->text();
    ASSERT_TRUE(chosen.startsWith(QStringLiteral("同名客户 · "))) << chosen.toStdString();

    // The chosen customer goes away before the save: refused, nothing written.
    const int chosenId = chosen.endsWith(QStringLiteral("9001")) ? 9001 : 9002;
    const int count = scalar(QStringLiteral("select count(*) from gj_follow")).toInt();
    ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("delete from kh_customer where id=?"), {chosenId}));
    EXPECT_FALSE(save(site));
    EXPECT_EQ(fieldError(site, "customerid"), QStringLiteral("所选的记录已不存在（可能已被删除），请重新选择"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from gj_follow")).toInt(), count);
}

TEST_P(RecordsTest, SigningSellsTheListingOnceAndCancellingGivesItBack)
{
    const int house = freeListing();
    const int customer = uniqueCustomer(QStringLiteral("签约客户甲"));
    ASSERT_GT(house, 0);
    qvcontrols::ControlSite *site = fillContract(house, QStringLiteral("签约客户甲"), 45000);
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    const int contract = recordId(site);
    // The number is generated: HT, the day, a running number.
    const QString number = line(site, "contractno")->text();
    EXPECT_TRUE(number.startsWith(QStringLiteral("HT") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))) << number.toStdString();
    EXPECT_EQ(number.size(), 13);
    EXPECT_EQ(scalar(QStringLiteral("select status from fy_house where id=%1").arg(house)).toString(), QStringLiteral("已成交"));
    EXPECT_EQ(scalar(QStringLiteral("select status from kh_customer where id=%1").arg(customer)).toString(), QStringLiteral("已成交"));

    // A second contract on the same listing is refused whole.
    const int contracts = scalar(QStringLiteral("select count(*) from ht_contract")).toInt();
    qvcontrols::ControlSite *again = fillContract(house, QStringLiteral("签约客户甲"), 1000);
    EXPECT_FALSE(save(again));
    EXPECT_TRUE(errorText(again).contains(QStringLiteral("已有合同 %1（执行中），一套房源不能重复签约").arg(number))) << errorText(again).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from ht_contract")).toInt(), contracts);

    // The listing cannot be put back on offer while the contract holds it.
    qvcontrols::ControlSite *listing = openRecord(1001, house, QStringLiteral("listing"));
    child<QComboBox>(listing, QStringLiteral("field_status"))->setCurrentText(QStringLiteral("有效"));
    EXPECT_FALSE(save(listing));
    EXPECT_TRUE(errorText(listing).contains(QStringLiteral("请先解除合同")));

    // Cancelling the contract gives both back, in the same save.
    child<QComboBox>(site, QStringLiteral("field_status"))->setCurrentText(QStringLiteral("已解除"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select status from fy_house where id=%1").arg(house)).toString(), QStringLiteral("有效"));
    EXPECT_EQ(scalar(QStringLiteral("select status from kh_customer where id=%1").arg(customer)).toString(), QStringLiteral("有效"));
    // And the listing can be signed again.
    qvcontrols::ControlSite *third = fillContract(house, QStringLiteral("签约客户甲"), 1000);
    EXPECT_TRUE(save(third)) << errorText(third).toStdString();
    EXPECT_NE(line(third, "contractno")->text(), number);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from ht_contract where houseid=%1 and status<>'已解除'").arg(house)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select status from ht_contract where id=%1").arg(contract)).toString(), QStringLiteral("已解除"));

    // The database refuses a contract on a listing that does not exist, whatever the form.
    EXPECT_FALSE(t.db->Execute(QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid) values (9999,'HTX',99999,1)")));
    t.db->ResetError();
}

TEST_P(RecordsTest, CommissionsNeverAddUpToMoreThanTheContractsCommission)
{
    const int house = freeListing();
    uniqueCustomer(QStringLiteral("佣金客户"));
    qvcontrols::ControlSite *deal = fillContract(house, QStringLiteral("佣金客户"), 101000);
    ASSERT_TRUE(save(deal)) << errorText(deal).toStdString();
    const QString number = line(deal, "contractno")->text();

    qvcontrols::ControlSite *first = newRecord(3002, QStringLiteral("c1"));
    link(first, "contractid")->setText(number);
    line(first, "amount")->setText(QStringLiteral("60000"));
    ASSERT_TRUE(save(first)) << errorText(first).toStdString();

    qvcontrols::ControlSite *second = newRecord(3002, QStringLiteral("c2"));
    link(second, "contractid")->setText(number);
    line(second, "amount")->setText(QStringLiteral("200000"));
    EXPECT_FALSE(save(second));
    EXPECT_TRUE(errorText(second).contains(QStringLiteral("佣金为 101000 元，其他结算已登记 60000 元，本次最多 41000 元")))
        << errorText(second).toStdString();
    line(second, "amount")->setText(QStringLiteral("41000"));
    EXPECT_TRUE(save(second)) << errorText(second).toStdString();

    // Nor can the contract's commission fall below what was settled.
    line(deal, "commission")->setText(QStringLiteral("90000"));
    EXPECT_FALSE(save(deal));
    EXPECT_TRUE(errorText(deal).contains(QStringLiteral("已登记佣金结算 101000 元")));
}

TEST_P(RecordsTest, PairsCodesAndLetterCaseAreCheckedByTheFormAndTheDatabase)
{
    qvcontrols::ControlSite *customer = newRecord(2001);
    line(customer, "name")->setText(QStringLiteral("区间客户"));
    line(customer, "phone")->setText(QStringLiteral("13900001111"));
    line(customer, "pricemin")->setText(QStringLiteral("600"));
    line(customer, "pricemax")->setText(QStringLiteral("400"));
    EXPECT_FALSE(save(customer));
    EXPECT_EQ(fieldError(customer, "pricemax"), QStringLiteral("“最高价”不能小于“最低价”"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from kh_customer where name='区间客户'")).toInt(), 0);
    line(customer, "pricemax")->setText(QStringLiteral("0")); // no upper bound
    EXPECT_TRUE(save(customer)) << errorText(customer).toStdString();
    EXPECT_FALSE(t.db->Execute(QStringLiteral("update kh_customer set pricemin=600,pricemax=400 where name='区间客户'")));
    t.db->ResetError();

    // " fy000005 " is FY000005.
    qvcontrols::ControlSite *listing = newRecord(1001, QStringLiteral("listing"));
    line(listing, "code")->setText(QStringLiteral(" fy000005 "));
    link(listing, "district")->setText(QStringLiteral("滨江区"));
    line(listing, "community")->setText(QStringLiteral("江南春晓"));
    line(listing, "rooms")->setText(QStringLiteral("2"));
    line(listing, "area")->setText(QStringLiteral("80"));
    line(listing, "price")->setText(QStringLiteral("300"));
    EXPECT_FALSE(save(listing));
    EXPECT_TRUE(errorText(listing).contains(QStringLiteral("FY000005 已存在"))) << errorText(listing).toStdString();
    EXPECT_FALSE(t.db->Execute(QStringLiteral("insert into fy_house (id,code) values (99001,'fy000005')")));
    t.db->ResetError();
    // Left empty, the code is the next free one.
    line(listing, "code")->clear();
    ASSERT_TRUE(save(listing)) << errorText(listing).toStdString();
    EXPECT_EQ(line(listing, "code")->text(), QStringLiteral("FY000301"));
}

TEST_P(RecordsTest, TheClerkMayDoWhatHisRightsSayAndNoMore)
{
    // Only what is granted here: not his role's rights.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_user set rolecode='' where usercode='0002'")));
    grantClerk(3001, 0);
    grantClerk(1001, jxedit::Right::Run | jxedit::Right::Add | jxedit::Right::Change);
    grantClerk(2002, jxedit::Right::Run | jxedit::Right::Export);
    signIn(QStringLiteral("clerk"));

    // No contracts for him.
    qvcontrols::ControlSite *contract = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("contract"));
    EXPECT_FALSE(start(contract, {com::Variant::fromInt32(3001), com::Variant::fromInt16(0)}));
    EXPECT_EQ(errorText(contract), QStringLiteral("您没有使用程序<3001>的权限，请与系统管理员联系。"));

    // His own listing he changes; he deletes none; a colleague's he only reads.
    const int own = scalar(QStringLiteral("select min(id) from fy_house where agent='李秀英' and status='有效'")).toInt();
    const int other = scalar(QStringLiteral("select min(id) from fy_house where agent='张伟' and status='有效'")).toInt();
    qvcontrols::ControlSite *mine = openRecord(1001, own, QStringLiteral("mine"));
    EXPECT_FALSE(command(mine, "delete")->isEnabled());
    EXPECT_TRUE(command(mine, "delete")->toolTip().contains(QStringLiteral("您没有删除的权限")));
    line(mine, "floor")->setText(QStringLiteral("7/18"));
    EXPECT_TRUE(save(mine)) << errorText(mine).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select floor from fy_house where id=%1").arg(own)).toString(), QStringLiteral("7/18"));

    qvcontrols::ControlSite *theirs = openRecord(1001, other, QStringLiteral("theirs"));
    EXPECT_FALSE(command(theirs, "save")->isEnabled());
    EXPECT_TRUE(line(theirs, "price")->isReadOnly());
    const QString price = scalar(QStringLiteral("select price from fy_house where id=%1").arg(other)).toString();
    line(theirs, "price")->setText(QStringLiteral("1"));
    EXPECT_FALSE(save(theirs)); // also when asked another way than the button
    EXPECT_EQ(errorText(theirs), QStringLiteral("这是其他经纪人的记录，您没有处理他人记录的权限"));
    EXPECT_EQ(scalar(QStringLiteral("select price from fy_house where id=%1").arg(other)).toString(), price);
    // The owner's phone of a colleague's listing is masked and cannot be revealed.
    const QString phone = scalar(QStringLiteral("select ownerphone from fy_house where id=%1").arg(other)).toString();
    EXPECT_EQ(line(theirs, "ownerphone")->text(), phone.left(3) + QStringLiteral("****") + phone.right(4));
    EXPECT_FALSE(command(theirs, "phones")->isEnabled());

    // The customer list and its export carry the mask for other agents' customers.
    qvcontrols::ControlSite *list = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("customers"));
    ASSERT_TRUE(start(list, {com::Variant::fromInt32(2002), com::Variant::fromString(QStringLiteral("客户查询"))}));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("customers.csv"));
    ASSERT_TRUE(com::toQVariant(com::call(list->object(), QStringLiteral("ExportCsv"), {com::Variant::fromString(csv)})).toBool());
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString exported = QString::fromUtf8(file.readAll());
    const QString othersPhone = scalar(QStringLiteral("select min(phone) from kh_customer where agent<>'李秀英'")).toString();
    const QString ownPhone = scalar(QStringLiteral("select min(phone) from kh_customer where agent='李秀英'")).toString();
    EXPECT_FALSE(exported.contains(othersPhone));
    EXPECT_TRUE(exported.contains(othersPhone.left(3) + QStringLiteral("****") + othersPhone.right(4)));
    EXPECT_TRUE(exported.contains(ownPhone));
    // Without the export right the export is refused.
    grantClerk(2002, jxedit::Right::Run);
    qvcontrols::ControlSite *noExport = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("noexport"));
    ASSERT_TRUE(start(noExport, {com::Variant::fromInt32(2002), com::Variant::fromString(QStringLiteral("客户查询"))}));
    EXPECT_FALSE(command(noExport, "export")->isEnabled());
    EXPECT_FALSE(com::toQVariant(com::call(noExport->object(), QStringLiteral("ExportCsv"), {com::Variant::fromString(csv)})).toBool());
}

TEST_P(RecordsTest, RevealingAnotherAgentsPhoneIsARecordedOperation)
{
    const int other = scalar(QStringLiteral("select min(id) from kh_customer where agent<>'王志强'")).toInt();
    const QString phone = scalar(QStringLiteral("select phone from kh_customer where id=%1").arg(other)).toString();
    qvcontrols::ControlSite *site = openRecord(2001, other);
    EXPECT_NE(line(site, "phone")->text(), phone);
    // Saving another field leaves the hidden phone as it is stored.
    child<QWidget>(site, QStringLiteral("field_memo"))->setProperty("plainText", QStringLiteral("经理备注"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select phone from kh_customer where id=%1").arg(other)).toString(), phone);

    events.clear();
    command(site, "phones")->trigger();
    EXPECT_EQ(line(site, "phone")->text(), phone);
    const auto logged = eventsNamed(QStringLiteral("errmessage"));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].params.at(0).toString(), QStringLiteral("查看电话 程序<2001> 记录<%1>").arg(other));
    EXPECT_EQ(logged[0].params.at(1).toInt(), 48);
}

TEST_P(RecordsTest, TheHistorySaysWhoChangedWhatFromWhatToWhat)
{
    qvcontrols::ControlSite *site = openRecord(1001, 9);
    const QString before = line(site, "community")->text();
    line(site, "community")->setText(QStringLiteral("历史小区"));
    link(site, "agent")->setText(QStringLiteral("张伟"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    signIn(QStringLiteral("clerk"));
    grantClerk(1001, jxedit::Right::Run | jxedit::Right::Change | jxedit::Right::OthersRecords);
    qvcontrols::ControlSite *clerk = openRecord(1001, 9, QStringLiteral("clerk"));
    line(clerk, "floor")->setText(QStringLiteral("3/6"));
    ASSERT_TRUE(save(clerk)) << errorText(clerk).toStdString();

    EXPECT_EQ(com::toQVariant(com::call(clerk->object(), QStringLiteral("ShowHistory"))).toInt(), 3);
    QAbstractItemModel *rows = child<QWidget>(clerk, QStringLiteral("history"))->findChild<QTableView *>()->model();
    ASSERT_EQ(rows->rowCount(), 3);
    // Newest first: the clerk's floor, then the admin's agent and community.
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("clerk"));
    EXPECT_EQ(rows->index(0, 3).data().toString(), QStringLiteral("楼层"));
    EXPECT_EQ(rows->index(0, 5).data().toString(), QStringLiteral("3/6"));
    QStringList adminRows;
    for (int r = 1; r < 3; ++r)
        adminRows << QStringLiteral("%1|%2|%3→%4").arg(rows->index(r, 1).data().toString(), rows->index(r, 3).data().toString(),
                                                    rows->index(r, 4).data().toString(), rows->index(r, 5).data().toString());
    EXPECT_TRUE(adminRows.contains(QStringLiteral("admin|小区|%1→历史小区").arg(before))) << adminRows.join(u'\n').toStdString();
    EXPECT_TRUE(adminRows.filter(QStringLiteral("admin|经纪人|")).value(0).endsWith(QStringLiteral("→张伟 · 138****0003")))
        << adminRows.join(u'\n').toStdString();
}

TEST_P(RecordsTest, ClosingWithUnsavedTypingAsksToSaveDiscardOrGoOn)
{
    qvcontrols::ControlSite *site = openRecord(1001, 11);
    EXPECT_TRUE(queryClose(site)); // nothing typed: nothing to ask
    line(site, "floor")->setText(QStringLiteral("9/9"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Cancel);
        EXPECT_FALSE(queryClose(site));
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.last().style & 7, jx::SaveDiscardCancel);
    }
    EXPECT_EQ(line(site, "floor")->text(), QStringLiteral("9/9")); // the typing stays
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        EXPECT_TRUE(queryClose(site));
    }
    EXPECT_EQ(scalar(QStringLiteral("select floor from fy_house where id=11")).toString(), QStringLiteral("9/9"));

    line(site, "floor")->setText(QStringLiteral("8/8"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        EXPECT_TRUE(queryClose(site));
    }
    EXPECT_EQ(scalar(QStringLiteral("select floor from fy_house where id=11")).toString(), QStringLiteral("9/9"));

    // A save that is refused keeps the form open.
    line(site, "rooms")->setText(QStringLiteral("很多"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        EXPECT_FALSE(queryClose(site));
    }
    EXPECT_EQ(fieldError(site, "rooms"), QStringLiteral("“房间数”必须是整数"));
}

TEST_P(RecordsTest, ContractsAndCommissionsCanBeFoundAgainAndCorrected)
{
    qvcontrols::ControlSite *list = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("contracts"));
    ASSERT_TRUE(start(list, {com::Variant::fromInt32(3005), com::Variant::fromString(QStringLiteral("合同查询"))}));
    QTableView *view = list->widget()->findChild<QTableView *>();
    QAbstractItemModel *rows = view->model();
    EXPECT_EQ(rows->rowCount(), scalar(QStringLiteral("select count(*) from ht_contract")).toInt());
    // Listing and customer by code and name.
    const QString number = rows->index(0, 0).data().toString();
    const int id = scalar(QStringLiteral("select id from ht_contract where contractno='%1'").arg(number)).toInt();
    EXPECT_EQ(rows->index(0, 1).data().toString(),
              scalar(QStringLiteral("select h.code from ht_contract c join fy_house h on h.id=c.houseid where c.id=%1").arg(id)).toString());
    EXPECT_EQ(rows->index(0, 3).data().toString(),
              scalar(QStringLiteral("select k.name from ht_contract c join kh_customer k on k.id=c.customerid where c.id=%1").arg(id)).toString());
    events.clear();
    view->setCurrentIndex(rows->index(0, 0));
    command(list, "edit")->trigger();
    ASSERT_EQ(eventsNamed(QStringLiteral("fileedit")).size(), 1u);
    EXPECT_EQ(eventsNamed(QStringLiteral("fileedit"))[0].params, (QVariantList{3001, id}));

    qvcontrols::ControlSite *commissions = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("commissions"));
    ASSERT_TRUE(start(commissions, {com::Variant::fromInt32(3006), com::Variant::fromString(QStringLiteral("佣金查询"))}));
    EXPECT_EQ(commissions->widget()->findChild<QTableView *>()->model()->rowCount(),
              scalar(QStringLiteral("select count(*) from yj_commission")).toInt());
}

TEST_P(RecordsTest, AValueTooLongForItsFieldIsNamedByItsCaptionNotAsALostConnection)
{
    if (engine() != u"postgres")
        GTEST_SKIP() << "SQLite keeps text of any length";
    qvcontrols::ControlSite *site = openRecord(1001, 14);
    const QString before = line(site, "community")->text();
    line(site, "community")->setText(QString(101, u'长'));
    EXPECT_FALSE(save(site));
    const QString why = errorText(site);
    EXPECT_TRUE(why.contains(QStringLiteral("“小区”的内容太长：最多 100 个字符"))) << why.toStdString();
    EXPECT_FALSE(why.contains(QStringLiteral("连接已断开"))) << why.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select community from fy_house where id=14")).toString(), before);
    line(site, "community")->setText(QStringLiteral("短名"));
    EXPECT_TRUE(save(site)) << errorText(site).toStdString();
}

TEST_P(RecordsTest, AStoredValueTheFormCannotTakeIsShownAsItIsAndKeptUnlessChanged)
{
    if (engine() != u"sqlite")
        GTEST_SKIP() << "only SQLite keeps text in a number column";
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_house set rooms='三室' where id=15")));
    qvcontrols::ControlSite *site = openRecord(1001, 15);
    EXPECT_EQ(line(site, "rooms")->text(), QStringLiteral("三室"));
    EXPECT_EQ(fieldError(site, "rooms"), QStringLiteral("已存的“三室”不符合“房间数”的格式；不修改就原样保留"));
    child<QWidget>(site, QStringLiteral("field_memo"))->setProperty("plainText", QStringLiteral("只改备注"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select rooms from fy_house where id=15")).toString(), QStringLiteral("三室"));
    EXPECT_EQ(scalar(QStringLiteral("select memo from fy_house where id=15")).toString(), QStringLiteral("只改备注"));
    // Once the user types a proper value it is checked and stored like any other.
    line(site, "rooms")->setText(QStringLiteral("3"));
    ASSERT_TRUE(save(site)) << errorText(site).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select rooms from fy_house where id=15")).toInt(), 3);
    EXPECT_EQ(fieldError(site, "rooms"), QString());
}

TEST_P(RecordsTest, TheUserAndRightsScreenOpensForTheAdministratorOnly)
{
    qvcontrols::ControlSite *admin = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("rights"));
    ASSERT_TRUE(start(admin, {com::Variant::fromInt32(4010), com::Variant::fromInt16(0)})) << errorText(admin).toStdString();
    EXPECT_FALSE(command(admin, "save")->isEnabled()); // the screen saves with its own buttons
    EXPECT_TRUE(queryClose(admin));

    // The clerk is refused before the screen asks anything of the database.
    signIn(QStringLiteral("clerk"));
    grantClerk(4010, jxedit::Right::Run); // even with the program granted, the screen is the administrator's
    qvcontrols::ControlSite *clerk = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("clerkRights"));
    EXPECT_FALSE(start(clerk, {com::Variant::fromInt32(4010), com::Variant::fromInt16(0)}));
    EXPECT_EQ(errorText(clerk), QStringLiteral("只有系统管理员可以管理用户和权限"));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsTest, ::testing::Values("sqlite", "postgres"));

} // namespace
