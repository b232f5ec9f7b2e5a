// Offers and counter-offers: the chain, accepting one into a contract (the
// other offers closed with the contract's saving, nothing changed when the
// contract is not saved), a listing's offers and a record's whole story.

#include "FunctionHost.h"

#include "jxedit/ChangeHistory.h"
#include "jxedit/OfferRules.h"

#include "platform/MessageBox.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

namespace {

using jxedit::OfferRules;

class OfferTest : public FunctionHost
{
protected:
    const QString a = QStringLiteral("王志强"), b = QStringLiteral("李秀英");
    // The test's own listings and customers, apart from the demo rows.
    const int sale = 9001, rent = 9002, signedHouse = 9003;
    const int buyer = 9001, rival = 9002;

    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString listing = QStringLiteral("insert into fy_house (id,code,dealtype,district,community,rooms,area,price,agent,status,regdate)"
                                               " values (?,?,?,'西湖区','出价小区',2,80,?,?,'有效','2026-01-05')");
        exec(listing, {sale, QStringLiteral("OF9001"), QStringLiteral("出售"), 300, a});
        exec(listing, {rent, QStringLiteral("OF9002"), QStringLiteral("出租"), 4500, a});
        exec(listing, {signedHouse, QStringLiteral("OF9003"), QStringLiteral("出售"), 200, b});
        const QString customer = QStringLiteral("insert into kh_customer (id,name,phone,agent,regdate) values (?,?,?,?,'2026-01-02')");
        exec(customer, {buyer, QStringLiteral("出价甲"), QStringLiteral("13900009001"), a});
        exec(customer, {rival, QStringLiteral("出价乙"), QStringLiteral("13900009002"), b});
    }

    void exec(const QString &sql, const QVariantList &params)
    {
        ASSERT_TRUE(t.db->ExecuteParams(sql, params)) << sql.toStdString() << ": " << t.db->LastError().Description().toStdString();
    }
    void offer(int id, int house, int customer, const QVariant &parent, const QString &side, double amount, const QString &date,
               const QString &state = QStringLiteral("有效"))
    {
        exec(QStringLiteral("insert into cj_offer (id,houseid,customerid,parentid,agent,side,amount,offerdate,state) values (?,?,?,?,?,?,?,?,?)"),
             {id, house, customer, parent, a, side, amount, date, state});
    }
    QString stateOf(int offer) { return scalar(QStringLiteral("select state from cj_offer where id=%1").arg(offer)).toString(); }
    int contractsOn(int house) { return scalar(QStringLiteral("select count(*) from ht_contract where houseid=%1").arg(house)).toInt(); }
    jxedit::DataLink dataLink()
    {
        return jxedit::DataLink::fromContext(&context).valueOr(jxedit::DataLink());
    }
    OfferRules rules() { return OfferRules(dataLink(), jxedit::ChangeHistory(dataLink(), QStringLiteral("admin"))); }

    qvcontrols::ControlSite *open(int prog, int id, const QString &name = QStringLiteral("edit"))
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), name);
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(prog), com::Variant::fromDouble(id), com::Variant::fromInt16(id > 0 ? 2 : 1)}));
        return site;
    }
    static bool call(qvcontrols::ControlSite *site, const char *member)
    {
        return com::toQVariant(com::call(site->object(), QString::fromLatin1(member))).toBool();
    }
    static int recordId(qvcontrols::ControlSite *site) { return com::toQVariant(com::get(site->object(), QStringLiteral("RecordId"))).toInt(); }
    static QString errorText(qvcontrols::ControlSite *site)
    {
        return com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString();
    }
    template<typename T>
    static T *in(QWidget *root, const QString &name)
    {
        return root ? root->findChild<T *>(name) : nullptr;
    }
    static QString text(QWidget *root, const char *field)
    {
        if (auto *l = in<QLineEdit>(root, QStringLiteral("lookup_") + QString::fromLatin1(field)))
            return l->text();
        if (auto *box = in<QComboBox>(root, QStringLiteral("field_") + QString::fromLatin1(field)))
            return box->currentText();
        auto *line = in<QLineEdit>(root, QStringLiteral("field_") + QString::fromLatin1(field));
        return line ? line->text() : QStringLiteral("<none>");
    }
    static QString fieldError(QWidget *root, const char *field)
    {
        QLabel *label = in<QLabel>(root, QStringLiteral("error_") + QString::fromLatin1(field));
        return label && !label->isHidden() ? label->text() : QString();
    }
    // The rows of a grid below a form as shown: each row's cells joined by "|".
    static QStringList gridRows(QWidget *root, const char *grid)
    {
        QWidget *holder = in<QWidget>(root, QString::fromLatin1(grid));
        QTableView *view = holder ? holder->findChild<QTableView *>() : nullptr;
        if (!view)
            return {QStringLiteral("<no grid>")};
        QStringList out;
        const QAbstractItemModel *m = view->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            out << cells.join(u'|');
        }
        return out;
    }
    static void doubleClickRow(QWidget *root, const char *grid, int row)
    {
        QWidget *holder = in<QWidget>(root, QString::fromLatin1(grid));
        QTableView *view = holder ? holder->findChild<QTableView *>() : nullptr;
        ASSERT_NE(view, nullptr);
        emit view->doubleClicked(view->model()->index(row, 0));
    }
    QDialog *contractDialog() { return page.findChild<QDialog *>(QStringLiteral("contractDialog")); }
};

TEST_P(OfferTest, AcceptingClosesTheOtherOpenOffersOnlyWithTheContractsTransaction)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 280, QStringLiteral("2026-02-01"));
    offer(9102, sale, rival, QVariant(), QStringLiteral("买方出价"), 270, QStringLiteral("2026-02-02"));
    offer(9103, sale, rival, QVariant(), QStringLiteral("买方出价"), 260, QStringLiteral("2026-01-20"), QStringLiteral("已撤回"));
    offer(9104, rent, rival, QVariant(), QStringLiteral("买方出价"), 4200, QStringLiteral("2026-02-02"));
    const jxedit::DataLink db = dataLink();
    const QVariantMap contract{{QStringLiteral("houseid"), sale}, {QStringLiteral("customerid"), buyer}};
    auto writeContract = [&](int id) {
        exec(QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,signdate,price,agent,status) values (?,?,?,?,'2026-02-03',280,?,'执行中')"),
             {id, QStringLiteral("OFHT%1").arg(id), sale, buyer, a});
    };

    // A contract naming another customer than the offer is refused, and the rollback leaves everything.
    const auto begun = db.begin();
    ASSERT_TRUE(begun) << begun.error().toStdString();
    writeContract(9201);
    QVariantMap otherCustomer = contract;
    otherCustomer.insert(QStringLiteral("customerid"), rival);
    const auto refused = rules().accept(9101, 9201, otherCustomer);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains(QStringLiteral("OF9001"))) << refused.error().toStdString();
    db.rollback();
    EXPECT_EQ(stateOf(9101), QStringLiteral("有效"));
    EXPECT_EQ(contractsOn(sale), 0);

    const auto begunAgain = db.begin();
    ASSERT_TRUE(begunAgain) << begunAgain.error().toStdString();
    writeContract(9202);
    const auto accepted = rules().accept(9101, 9202, contract);
    ASSERT_TRUE(accepted) << accepted.error().toStdString();
    const auto committed = db.commit();
    ASSERT_TRUE(committed) << committed.error().toStdString();
    EXPECT_EQ(stateOf(9101), QStringLiteral("已接受"));
    EXPECT_EQ(scalar(QStringLiteral("select contractid from cj_offer where id=9101")).toInt(), 9202);
    EXPECT_EQ(stateOf(9102), QStringLiteral("已拒绝"));
    EXPECT_EQ(stateOf(9103), QStringLiteral("已撤回")); // already closed: left as it was
    EXPECT_EQ(stateOf(9104), QStringLiteral("有效"));   // another listing's
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_history where tablename='cj_offer' and recordid in (9101,9102) and field='state'")).toInt(), 2);

    // An offer closed meanwhile cannot be accepted any more.
    ASSERT_TRUE(db.begin());
    const auto closed = rules().accept(9102, 9202, contract);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(closed.error().contains(QStringLiteral("已拒绝"))) << closed.error().toStdString();
    db.rollback();
}

TEST_P(OfferTest, AcceptingIsRefusedWhileTheListingHasAContractNotCancelled)
{
    offer(9101, signedHouse, buyer, QVariant(), QStringLiteral("买方出价"), 190, QStringLiteral("2026-02-01"));
    exec(QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,signdate,price,agent,status) values (9301,'OFHT9301',?,?,'2026-02-03',195,?,'执行中')"),
         {signedHouse, rival, b});
    const auto o = rules().read(9101);
    ASSERT_TRUE(o) << o.error().toStdString();
    const auto refused = rules().checkAccept(*o);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains(QStringLiteral("OFHT9301")) && refused.error().contains(QStringLiteral("执行中"))) << refused.error().toStdString();

    // Through the form: the refusal is said, no contract form opens, nothing changes.
    qvcontrols::ControlSite *site = open(5011, 9101);
    EXPECT_FALSE(call(site, "AcceptOffer"));
    EXPECT_TRUE(errorText(site).contains(QStringLiteral("已有合同 OFHT9301"))) << errorText(site).toStdString();
    EXPECT_EQ(contractDialog(), nullptr);
    EXPECT_EQ(stateOf(9101), QStringLiteral("有效"));

    // Once that contract is cancelled the offer can be taken.
    exec(QStringLiteral("update ht_contract set status='已解除' where id=9301"), {});
    const auto again = rules().read(9101);
    ASSERT_TRUE(again);
    const auto acceptable = rules().checkAccept(*again);
    EXPECT_TRUE(acceptable) << acceptable.error().toStdString();
}

TEST_P(OfferTest, AcceptOpensTheContractPrefilledAndCancellingItChangesNothing)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 285.5, QStringLiteral("2026-02-01"));
    offer(9102, sale, rival, QVariant(), QStringLiteral("买方出价"), 270, QStringLiteral("2026-02-02"));
    qvcontrols::ControlSite *site = open(5011, 9101);
    ASSERT_TRUE(call(site, "AcceptOffer")) << errorText(site).toStdString();
    QDialog *dialog = contractDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(text(dialog, "houseid").startsWith(QStringLiteral("OF9001"))) << text(dialog, "houseid").toStdString();
    EXPECT_TRUE(text(dialog, "customerid").startsWith(QStringLiteral("出价甲"))) << text(dialog, "customerid").toStdString();
    EXPECT_EQ(text(dialog, "price"), QStringLiteral("285.5"));
    EXPECT_EQ(text(dialog, "dealtype"), QStringLiteral("出售"));
    EXPECT_TRUE(text(dialog, "agent").startsWith(a)) << text(dialog, "agent").toStdString();

    {
        // Closing asks about the unsaved contract; "don't save" closes it.
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        dialog->reject();
        EXPECT_EQ(boxes.count(), 1);
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("合同登记"))) << boxes.last().text.toStdString();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(contractDialog(), nullptr);
    EXPECT_EQ(stateOf(9101), QStringLiteral("有效"));
    EXPECT_EQ(stateOf(9102), QStringLiteral("有效"));
    EXPECT_EQ(contractsOn(sale), 0);
    EXPECT_EQ(scalar(QStringLiteral("select status from fy_house where id=%1").arg(sale)).toString(), QStringLiteral("有效"));
}

TEST_P(OfferTest, SavingTheContractOfAnAcceptedOfferClosesTheOthersAndSellsTheListing)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 285, QStringLiteral("2026-02-01"));
    offer(9102, sale, rival, QVariant(), QStringLiteral("买方出价"), 270, QStringLiteral("2026-02-02"));
    qvcontrols::ControlSite *site = open(5011, 9101);
    ASSERT_TRUE(call(site, "AcceptOffer")) << errorText(site).toStdString();
    QDialog *dialog = contractDialog();
    ASSERT_NE(dialog, nullptr);
    in<QLineEdit>(dialog, QStringLiteral("field_commission"))->setText(QStringLiteral("42750"));
    QAction *save = in<QAction>(dialog, QStringLiteral("save"));
    ASSERT_NE(save, nullptr);
    save->trigger();

    const int contract = scalar(QStringLiteral("select id from ht_contract where houseid=%1").arg(sale)).toInt();
    ASSERT_GT(contract, 0) << in<QLabel>(dialog, QStringLiteral("contractStatus"))->text().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select customerid from ht_contract where id=%1").arg(contract)).toInt(), buyer);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select price from ht_contract where id=%1").arg(contract)).toDouble(), 285.0);
    EXPECT_EQ(stateOf(9101), QStringLiteral("已接受"));
    EXPECT_EQ(scalar(QStringLiteral("select contractid from cj_offer where id=9101")).toInt(), contract);
    EXPECT_EQ(stateOf(9102), QStringLiteral("已拒绝"));
    // The contract rules held: the listing is sold by it.
    EXPECT_EQ(scalar(QStringLiteral("select status from fy_house where id=%1").arg(sale)).toString(), QStringLiteral("已成交"));
    // The offer's own form shows what became of it.
    EXPECT_EQ(text(site->widget(), "state"), QStringLiteral("已接受"));
    EXPECT_FALSE(in<QAction>(site->widget(), QStringLiteral("accept"))->isEnabled());
}

TEST_P(OfferTest, AContractOfAnOfferClosedMeanwhileIsRefusedAndNothingIsWritten)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 285, QStringLiteral("2026-02-01"));
    qvcontrols::ControlSite *site = open(5011, 9101);
    ASSERT_TRUE(call(site, "AcceptOffer"));
    QDialog *dialog = contractDialog();
    ASSERT_NE(dialog, nullptr);
    // Another workstation: the customer withdrew while the contract was being typed.
    std::unique_ptr<Database> other = secondConnection();
    ASSERT_TRUE(other->ExecuteParams(QStringLiteral("update cj_offer set state='已撤回',version=version+1 where id=9101"), {}));
    in<QAction>(dialog, QStringLiteral("save"))->trigger();
    EXPECT_EQ(contractsOn(sale), 0);
    EXPECT_EQ(stateOf(9101), QStringLiteral("已撤回"));
    EXPECT_EQ(scalar(QStringLiteral("select status from fy_house where id=%1").arg(sale)).toString(), QStringLiteral("有效"));
    // The contract form keeps what was typed and says why.
    EXPECT_EQ(text(dialog, "price"), QStringLiteral("285"));
    QLabel *error = nullptr;
    for (QLabel *l : dialog->findChildren<QLabel *>())
        if (l->text().contains(QStringLiteral("已撤回")))
            error = l;
    EXPECT_NE(error, nullptr);
}

TEST_P(OfferTest, ACounterOfferAnswersAnOpenOfferAndTheChainIsShownInOrder)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 280, QStringLiteral("2026-02-01"));
    qvcontrols::ControlSite *site = open(5011, 9101);
    ASSERT_TRUE(call(site, "CounterOffer")) << errorText(site).toStdString();
    QWidget *form = site->widget();
    EXPECT_EQ(recordId(site), 0);
    EXPECT_TRUE(text(form, "houseid").startsWith(QStringLiteral("OF9001")));
    EXPECT_TRUE(text(form, "customerid").startsWith(QStringLiteral("出价甲")));
    EXPECT_EQ(text(form, "side"), QStringLiteral("卖方还价"));
    EXPECT_EQ(in<QLineEdit>(form, QStringLiteral("field_amount"))->accessibleName(), QStringLiteral("出价金额(万元)"));
    // Unsaved, the answered offer is untouched.
    EXPECT_EQ(stateOf(9101), QStringLiteral("有效"));
    in<QLineEdit>(form, QStringLiteral("field_amount"))->setText(QStringLiteral("295"));
    ASSERT_TRUE(call(site, "Save")) << errorText(site).toStdString();
    const int answer = recordId(site);
    ASSERT_GT(answer, 0);
    EXPECT_EQ(scalar(QStringLiteral("select parentid from cj_offer where id=%1").arg(answer)).toInt(), 9101);
    EXPECT_EQ(stateOf(9101), QStringLiteral("已还价"));
    EXPECT_EQ(stateOf(answer), QStringLiteral("有效"));

    // The buyer answers the counter: three offers in the chain, first first.
    ASSERT_TRUE(call(site, "CounterOffer"));
    EXPECT_EQ(text(form, "side"), QStringLiteral("买方出价"));
    in<QLineEdit>(form, QStringLiteral("field_amount"))->setText(QStringLiteral("288"));
    ASSERT_TRUE(call(site, "Save")) << errorText(site).toStdString();
    const QStringList chain = gridRows(form, "chain");
    ASSERT_EQ(chain.size(), 3) << chain.join(u'\n').toStdString();
    EXPECT_TRUE(chain.at(0).contains(QStringLiteral("买方出价|280"))) << chain.join(u'\n').toStdString();
    EXPECT_TRUE(chain.at(1).contains(QStringLiteral("卖方还价|295"))) << chain.join(u'\n').toStdString();
    EXPECT_TRUE(chain.at(2).contains(QStringLiteral("买方出价|288"))) << chain.join(u'\n').toStdString();

    // A countered offer cannot be countered again, not even by a form opened before.
    qvcontrols::ControlSite *first = open(5011, 9101, QStringLiteral("first"));
    EXPECT_FALSE(in<QAction>(first->widget(), QStringLiteral("counter"))->isEnabled());
    EXPECT_EQ(gridRows(first->widget(), "chain").size(), 3); // the answers given since are in its chain too
    EXPECT_FALSE(call(first, "CounterOffer"));
    EXPECT_TRUE(errorText(first).contains(QStringLiteral("已还价"))) << errorText(first).toStdString();
}

TEST_P(OfferTest, AnAmountOfZeroOrTextIsRefusedWithTheTypingKeptAndTheUnitFollowsTheListing)
{
    qvcontrols::ControlSite *site = open(5011, 0);
    QWidget *form = site->widget();
    QLineEdit *house = in<QLineEdit>(form, QStringLiteral("lookup_houseid"));
    house->setText(QStringLiteral("OF9002"));
    emit house->editingFinished();
    EXPECT_EQ(in<QLineEdit>(form, QStringLiteral("field_amount"))->accessibleName(), QStringLiteral("出价金额(元/月)"));
    in<QLineEdit>(form, QStringLiteral("lookup_customerid"))->setText(QStringLiteral("出价甲"));
    QLineEdit *amount = in<QLineEdit>(form, QStringLiteral("field_amount"));
    const int before = scalar(QStringLiteral("select count(*) from cj_offer")).toInt();

    amount->setText(QStringLiteral("四千"));
    EXPECT_FALSE(call(site, "Save"));
    EXPECT_EQ(fieldError(form, "amount"), QStringLiteral("“出价金额(元/月)”必须是数字"));
    EXPECT_EQ(amount->text(), QStringLiteral("四千"));
    amount->setText(QStringLiteral("0"));
    EXPECT_FALSE(call(site, "Save"));
    EXPECT_TRUE(fieldError(form, "amount").startsWith(QStringLiteral("“出价金额(元/月)”应在 0.01"))) << fieldError(form, "amount").toStdString();
    EXPECT_EQ(amount->text(), QStringLiteral("0"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from cj_offer")).toInt(), before);

    amount->setText(QStringLiteral("4300"));
    ASSERT_TRUE(call(site, "Save")) << errorText(site).toStdString();
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select amount from cj_offer where id=%1").arg(recordId(site))).toDouble(), 4300.0);
    // A sale listing's offers are in 万元.
    house->setText(QStringLiteral("OF9001"));
    emit house->editingFinished();
    EXPECT_EQ(amount->accessibleName(), QStringLiteral("出价金额(万元)"));
}

TEST_P(OfferTest, AListingShowsItsOffersBestFirstAndTheListOrdersThemSo)
{
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 280, QStringLiteral("2026-02-01"), QStringLiteral("已还价"));
    offer(9102, sale, rival, QVariant(), QStringLiteral("买方出价"), 270, QStringLiteral("2026-02-02"));
    offer(9103, sale, buyer, 9101, QStringLiteral("卖方还价"), 299, QStringLiteral("2026-02-03"));
    offer(9104, sale, rival, QVariant(), QStringLiteral("买方出价"), 310, QStringLiteral("2026-01-03"), QStringLiteral("已撤回"));
    qvcontrols::ControlSite *site = open(1001, sale);
    const QStringList rows = gridRows(site->widget(), "offers");
    ASSERT_EQ(rows.size(), 4) << rows.join(u'\n').toStdString();
    // Open ones first, by amount; then the closed ones by amount.
    EXPECT_TRUE(rows.at(0).contains(QStringLiteral("|299.00|有效|")) || rows.at(0).contains(QStringLiteral("|299|有效|"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(1).contains(QStringLiteral("出价乙|买方出价|270"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(2).contains(QStringLiteral("已撤回"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(3).contains(QStringLiteral("已还价"))) << rows.join(u'\n').toStdString();
    auto *tabs = in<QTabWidget>(site->widget(), QStringLiteral("storyTabs"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("出价（4）"));

    // Each opens the offer's record.
    events.clear();
    doubleClickRow(site->widget(), "offers", 0);
    const std::vector<RaisedEvent> opened = eventsNamed(QStringLiteral("detaile"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().params.value(0).toInt(), 5011);
    EXPECT_EQ(opened.front().params.value(1).toInt(), 9103);

    // The list (出价查询) on this engine: the same order within the listing.
    const auto sql = dataLink().scalar(QStringLiteral("select listsql from jx_function where progid=5012"), {});
    ASSERT_TRUE(sql);
    const auto list = dataLink().select(sql->toString(), {});
    ASSERT_TRUE(list) << list.error().toStdString();
    QList<int> ours;
    for (const QVector<QVariant> &r : list->rows)
        if (r.value(1).toString() == u"OF9001")
            ours << r.value(0).toInt();
    EXPECT_EQ(ours, (QList<int>{9103, 9102, 9104, 9101}));
}

TEST_P(OfferTest, ACustomersStoryIsInDateOrderAndEachRowOpensItsRecord)
{
    exec(QStringLiteral("insert into dk_viewing (id,houseid,customerid,agent,viewdate,viewtime,status,outcome) values (9401,?,?,?,'2026-01-10','10:30','已完成','有意向')"),
         {sale, buyer, a});
    offer(9101, sale, buyer, QVariant(), QStringLiteral("买方出价"), 280, QStringLiteral("2026-01-12"));
    exec(QStringLiteral("insert into gj_follow (id,customerid,houseid,followdate,nextdate,method,agent,content) values (9501,?,?,'2026-01-11','','电话',?,'谈价格')"),
         {buyer, sale, a});
    exec(QStringLiteral("insert into ht_contract (id,contractno,houseid,customerid,signdate,price,agent,status) values (9601,'OFHT9601',?,?,'2026-01-20',4400,?,'执行中')"),
         {rent, buyer, a});
    offer(9102, sale, rival, QVariant(), QStringLiteral("买方出价"), 260, QStringLiteral("2026-01-09")); // another customer's
    qvcontrols::ControlSite *site = open(2001, buyer);
    const QStringList rows = gridRows(site->widget(), "storyGrid");
    ASSERT_EQ(rows.size(), 4) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(0).startsWith(QStringLiteral("2026-01-10|带看|OF9001 出价小区|10:30 有意向"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(1).startsWith(QStringLiteral("2026-01-11|跟进|OF9001 出价小区|电话：谈价格"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(2).startsWith(QStringLiteral("2026-01-12|出价|OF9001 出价小区|买方出价|280"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.at(3).startsWith(QStringLiteral("2026-01-20|合同|OF9002 出价小区|OFHT9601|4,400"))
                || rows.at(3).startsWith(QStringLiteral("2026-01-20|合同|OF9002 出价小区|OFHT9601|4400")))
        << rows.join(u'\n').toStdString();

    // Each row opens its record through the record-entry program of its table.
    const std::vector<std::pair<int, int>> expected{{2, 5011}, {1, 2004}, {3, 3001}};
    for (const auto &[row, program] : expected) {
        events.clear();
        doubleClickRow(site->widget(), "storyGrid", row);
        const std::vector<RaisedEvent> opened = eventsNamed(QStringLiteral("detaile"));
        ASSERT_EQ(opened.size(), 1u) << row;
        EXPECT_EQ(opened.front().params.value(0).toInt(), program);
    }
    EXPECT_EQ(eventsNamed(QStringLiteral("detaile")).front().params.value(1).toInt(), 9601);

    // The listing's story names the customers instead.
    qvcontrols::ControlSite *listing = open(1001, sale, QStringLiteral("listing"));
    const QStringList story = gridRows(listing->widget(), "storyGrid");
    ASSERT_EQ(story.size(), 4) << story.join(u'\n').toStdString();
    EXPECT_TRUE(story.at(0).startsWith(QStringLiteral("2026-01-09|出价|出价乙|"))) << story.join(u'\n').toStdString();
    EXPECT_TRUE(story.at(1).startsWith(QStringLiteral("2026-01-10|带看|出价甲|"))) << story.join(u'\n').toStdString();
}

TEST_P(OfferTest, TheDemoOffersHoldTogether)
{
    // Chains stay on one listing and customer, and each answered offer is countered.
    EXPECT_GT(scalar(QStringLiteral("select count(distinct houseid) from cj_offer where id<9000")).toInt(), 20);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from cj_offer o join cj_offer p on p.id=o.parentid"
                                    " where p.houseid<>o.houseid or p.customerid<>o.customerid or p.state<>'已还价'")).toInt(), 0);
    for (const char *state : {"有效", "已还价", "已接受", "已拒绝", "已撤回"})
        EXPECT_GT(scalar(QStringLiteral("select count(*) from cj_offer where state='%1'").arg(QString::fromUtf8(state))).toInt(), 0) << state;
    // An accepted offer is its contract's: the same listing, customer and price, a contract in force.
    EXPECT_GT(scalar(QStringLiteral("select count(*) from cj_offer where state='已接受'")).toInt(), 5);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from cj_offer o left join ht_contract c on c.id=o.contractid where o.state='已接受'"
                                    " and (c.id is null or c.houseid<>o.houseid or c.customerid<>o.customerid or c.price<>o.amount or c.status='已解除')")).toInt(), 0);
    // Open offers are only on listings without a contract.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from cj_offer o where o.state='有效'"
                                    " and exists (select 1 from ht_contract c where c.houseid=o.houseid and c.status<>'已解除')")).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, OfferTest, ::testing::Values("sqlite", "postgres"));

} // namespace
