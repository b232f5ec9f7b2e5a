#include "jxedit/EditControl.h"

#include "jxedit/ContractDialog.h"
#include "jxedit/FieldCheck.h"
#include "jxedit/GridView.h"
#include "jxedit/ListingMatcher.h"
#include "jxedit/LookupField.h"
#include "jxedit/OfferRules.h"
#include "jxedit/PhotoStrip.h"
#include "jxedit/NewRecordKey.h"
#include "jxedit/RecordStore.h"
#include "jxedit/RecordStory.h"
#include "jxedit/RightsForm.h"
#include "jxedit/RowModel.h"
#include "jxedit/ViewingRules.h"

#include "platform/MessageBox.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QVBoxLayout>

namespace jxedit {

struct EditControl::Field
{
    ColumnDef def;
    QWidget *editor = nullptr;
    QPointer<LookupField> lookup; // may be gone before the control when its host went first
    QLabel *error = nullptr;
    QLabel *label = nullptr;
    bool unfit = false; // the stored value does not fit the column's type
};

EditControl::EditControl()
{
    QObject::connect(addCommand(QStringLiteral("new"), QStringLiteral("新增"), QKeySequence::New), &QAction::triggered, page(),
                     [this] {
                         if (settleUnsaved())
                             newRecord();
                     });
    QObject::connect(addCommand(QStringLiteral("save"), QStringLiteral("保存"), QKeySequence::Save), &QAction::triggered, page(),
                     [this] { save(); });
    QObject::connect(addCommand(QStringLiteral("delete"), QStringLiteral("删除"), QKeySequence(Qt::CTRL | Qt::Key_Delete)),
                     &QAction::triggered, page(), [this] {
                         if (jx::msgBox(QStringLiteral("确定删除这条记录吗？"), jx::YesNo | jx::Question | jx::DefaultButton2,
                                        QStringLiteral("提示：")) == jx::Yes)
                             removeRecord();
                     });
    QObject::connect(addCommand(QStringLiteral("previous"), QStringLiteral("上一条"), QKeySequence(Qt::CTRL | Qt::Key_PageUp)),
                     &QAction::triggered, page(), [this] { step(false); });
    QObject::connect(addCommand(QStringLiteral("next"), QStringLiteral("下一条"), QKeySequence(Qt::CTRL | Qt::Key_PageDown)),
                     &QAction::triggered, page(), [this] { step(true); });
    QObject::connect(addCommand(QStringLiteral("match"), QStringLiteral("匹配"), QKeySequence(Qt::CTRL | Qt::Key_M)),
                     &QAction::triggered, page(), [this] { showMatches(); });
    QObject::connect(addCommand(QStringLiteral("history"), QStringLiteral("历史"), QKeySequence(Qt::CTRL | Qt::Key_H)),
                     &QAction::triggered, page(), [this] { showHistory(); });
    QObject::connect(addCommand(QStringLiteral("phones"), QStringLiteral("显示电话"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)),
                     &QAction::triggered, page(), [this] { revealPhones(); });
    QObject::connect(addCommand(QStringLiteral("counter"), QStringLiteral("还价"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)),
                     &QAction::triggered, page(), [this] { counterOffer(); });
    QObject::connect(addCommand(QStringLiteral("accept"), QStringLiteral("接受出价"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)),
                     &QAction::triggered, page(), [this] { acceptOffer(); });
    // From a customer's or a listing's record: a new viewing of him or of it.
    QObject::connect(addCommand(QStringLiteral("book"), QStringLiteral("预约带看"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B)),
                     &QAction::triggered, page(), [this] { bookViewing(); });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, page(), [this] { closeForm(); });

    members().add(QStringLiteral("Mode"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_mode); });
    members().add(QStringLiteral("RecordId"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_id); });
    members().add(QStringLiteral("Save"), [this](const com::DispArgs &) { return com::Variant::fromBool(save()); });
    members().add(QStringLiteral("Delete"), [this](const com::DispArgs &) { return com::Variant::fromBool(removeRecord()); });
    members().add(QStringLiteral("ShowHistory"), [this](const com::DispArgs &) { return com::Variant::fromInt32(showHistory()); });
    members().add(QStringLiteral("IsDirty"), [this](const com::DispArgs &) { return com::Variant::fromBool(isDirty()); });
    members().add(QStringLiteral("CounterOffer"), [this](const com::DispArgs &) { return com::Variant::fromBool(counterOffer()); });
    members().add(QStringLiteral("AcceptOffer"), [this](const com::DispArgs &) { return com::Variant::fromBool(acceptOffer()); });
    members().add(QStringLiteral("BookViewing"), [this](const com::DispArgs &) { return com::Variant::fromBool(bookViewing()); });
}

EditControl::~EditControl()
{
    for (const Field &f : m_fields)
        if (f.lookup)
            f.lookup->detach();
    if (m_rights)
        m_rights->detach();
    if (m_story)
        m_story->detach();
    if (m_photoStrip)
        m_photoStrip->detach();
}

bool EditControl::startRightsScreen()
{
    // The screen has its own buttons; of the record commands only closing applies.
    for (const char *command : {"new", "save", "delete", "previous", "next", "match", "history", "phones", "counter", "accept", "book"})
        setCommandVisible(QString::fromLatin1(command), false);
    m_rights = new RightsForm(link(), context(), page());
    body()->addWidget(m_rights, 1);
    QObject::connect(m_rights, &RightsForm::operation, page(), [this](const QString &text) { logOperation(text); });
    QObject::connect(m_rights, &RightsForm::message, page(), [this](const QString &text) { sendMessage(text); });
    if (const auto loaded = m_rights->load(); !loaded) {
        showError(loaded.error());
        return false;
    }
    return true;
}

bool EditControl::start(const com::DispArgs &a)
{
    auto loaded = FunctionDefinition::load(link(), progId());
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    m_def = std::move(loaded).value();
    if (m_def.formKind == u"rights")
        return startRightsScreen();
    if (m_def.table.isEmpty()) {
        showError(QStringLiteral("程序<%1>的功能定义没有指定数据表").arg(progId()));
        return false;
    }
    m_store = std::make_unique<RecordStore>(link(), m_def, userName());
    buildForm();
    // Saves of this record elsewhere reach the form: reloaded when nothing is
    // typed, otherwise said in a bar, the typing left alone.
    m_watch = std::make_unique<ChangeWatch>(link());
    QObject::connect(m_watch.get(), &ChangeWatch::changed, page(), [this](const QVector<ChangeWatch::Change> &changes) { recordsChanged(changes); });
    QObject::connect(m_watch.get(), &ChangeWatch::caughtUp, page(), [this] {
        if (m_id > 0 && m_mode != New)
            recordsChanged({{m_def.table, m_id, QStringLiteral("update"), QString()}});
    });
    const QVariant given = a.size() > 3 ? com::toQVariant(*a[3]) : QVariant();
    const int data = given.toInt();
    const int mode = a.size() > 4 ? com::toQVariant(*a[4]).toInt() : New;
    // A window's text key comes as a 16-bit 0 and follows through sParameters;
    // a window opened with no record at all (from a menu) starts a new one.
    const bool keyFollows = a.size() > 4 && given.typeId() == QMetaType::Short;
    if (mode == New || (data <= 0 && !keyFollows)) {
        newRecord();
        return true;
    }
    setMode(mode == View ? View : Edit);
    if (data > 0)
        return openRecord(data);
    // A text key follows through sParameters.
    return true;
}

void EditControl::parametersChanged()
{
    const QString code = parameter(QStringLiteral("sID")).toString().trimmed();
    if (code.isEmpty() || !m_store)
        return;
    if (QVariantMap given; NewRecordKey::parse(code, given)) {
        if (settleUnsaved()) {
            newRecord();
            prefill(given);
        }
        return;
    }
    const auto id = m_store->idOfCode(code);
    if (!id || *id <= 0) {
        const QString why = id.error();
        showError(why.isEmpty() ? QStringLiteral("没有找到编号为“%1”的记录").arg(code) : why);
        return;
    }
    openRecord(*id);
}

void EditControl::makeEditor(Field &f)
{
    if (f.def.type == u"choice") {
        auto *box = new QComboBox(m_form);
        if (!f.def.required)
            box->addItem(QString());
        box->addItems(f.def.choices);
        f.editor = box;
    } else if (f.def.isLookup()) {
        f.lookup = new LookupField(link(), f.def.lookup, m_form);
        f.editor = f.lookup;
        f.lookup->edit()->setObjectName(QStringLiteral("lookup_") + f.def.field);
        f.lookup->edit()->setAccessibleName(f.def.caption);
    } else if (f.def.type == u"memo") {
        auto *edit = new QPlainTextEdit(m_form);
        edit->setTabChangesFocus(true);
        edit->setFixedHeight(70);
        f.editor = edit;
    } else {
        auto *edit = new QLineEdit(m_form);
        if (f.def.type == u"date")
            edit->setPlaceholderText(QStringLiteral("年-月-日，如 2026-01-31"));
        else if (f.def.type == u"time")
            edit->setPlaceholderText(QStringLiteral("时:分，如 14:30"));
        f.editor = edit;
    }
}

void EditControl::buildForm()
{
    auto *splitter = new QSplitter(Qt::Vertical, page());
    auto *scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    m_form = new QWidget(scroll);
    auto *form = new QFormLayout(m_form);
    form->setLabelAlignment(Qt::AlignRight);
    for (const ColumnDef &c : m_def.columns) {
        Field f;
        f.def = c;
        makeEditor(f);
        f.editor->setObjectName(QStringLiteral("field_") + c.field);
        f.editor->setAccessibleName(c.caption);
        f.editor->setMinimumWidth(qMin(420, qMax(160, c.width * 2)));
        f.error = new QLabel(m_form);
        f.error->setObjectName(QStringLiteral("error_") + c.field);
        f.error->setStyleSheet(QStringLiteral("color:#b00020;"));
        f.error->hide();
        auto *cell = new QWidget(m_form);
        // Rows keep their own height; the form's spare room stays below the last one.
        cell->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        auto *cellLayout = new QVBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->setSpacing(1);
        cellLayout->addWidget(f.editor);
        cellLayout->addWidget(f.error);
        auto *label = new QLabel(c.required ? c.caption + QStringLiteral(" *") : c.caption, m_form);
        label->setBuddy(f.editor);
        f.label = label;
        form->addRow(label, cell);
        m_fields.push_back(f);
    }
    scroll->setWidget(m_form);
    buildPhotoStrip(splitter);
    m_matches = new GridView(splitter);
    m_matches->setObjectName(QStringLiteral("matches"));
    m_matches->hide();
    m_history = new GridView(splitter);
    m_history->setObjectName(QStringLiteral("history"));
    m_history->hide();
    QObject::connect(m_matches, &GridView::activated, m_matches, [this](const QVariant &key) {
        const QString table = m_def.matchKind == u"customer" ? QStringLiteral("fy_house") : QStringLiteral("kh_customer");
        if (const int program = FunctionDefinition::entryProgramFor(link(), table); program > 0)
            openDetail(program, key);
    });
    // What happened around the record: its story, a listing's offers, an offer's chain.
    if (RecordStory::applies(m_def.table)) {
        m_story = new RecordStory(link(), m_def.table, splitter);
        QObject::connect(m_story, &RecordStory::openRequested, m_story, [this](const QString &table, int id) {
            if (const int program = FunctionDefinition::entryProgramFor(link(), table); program > 0)
                openDetail(program, id);
            else
                showError(QStringLiteral("没有登记这类记录的功能，无法打开"));
        });
    }
    buildChangedBar();
    body()->addWidget(splitter, 1);
    setCommandVisible(QStringLiteral("match"), !m_def.matchKind.isEmpty());
    const bool offers = m_def.table == u"cj_offer";
    setCommandVisible(QStringLiteral("counter"), offers);
    setCommandVisible(QStringLiteral("accept"), offers);
    if (offers)
        for (const Field &f : m_fields)
            if (f.lookup && f.def.field == u"houseid") {
                QObject::connect(f.lookup, &LookupField::chosen, page(), [this] { updateAmountCaption(); });
                QObject::connect(f.lookup->edit(), &QLineEdit::editingFinished, page(), [this] { updateAmountCaption(); });
            }
    setCommandVisible(QStringLiteral("book"), m_def.table == u"kh_customer" || m_def.table == u"fy_house");
}

QString EditControl::fieldText(int index) const
{
    if (const LookupField *lookup = m_fields.at(index).lookup)
        return lookup->text();
    QWidget *editor = m_fields.at(index).editor;
    if (auto *box = qobject_cast<QComboBox *>(editor))
        return box->currentText();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(editor))
        return memo->toPlainText();
    return static_cast<QLineEdit *>(editor)->text();
}

void EditControl::setFieldText(int index, const QString &text)
{
    QWidget *editor = m_fields.at(index).editor;
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        if (box->findText(text) < 0)
            box->addItem(text); // a stored value outside today's choices stays visible
        box->setCurrentText(text);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(editor)) {
        memo->setPlainText(text);
    } else {
        static_cast<QLineEdit *>(editor)->setText(text);
    }
}

void EditControl::setMode(int mode)
{
    m_mode = mode;
    const bool editable = mode != View;
    for (const Field &f : m_fields) {
        if (f.lookup)
            f.lookup->setReadOnly(!editable);
        else if (auto *line = qobject_cast<QLineEdit *>(f.editor))
            line->setReadOnly(!editable);
        else if (auto *memo = qobject_cast<QPlainTextEdit *>(f.editor))
            memo->setReadOnly(!editable);
        else
            f.editor->setEnabled(editable);
    }
    applyRights();
}

bool EditControl::othersRecord() const
{
    if (m_def.agentField.isEmpty() || m_id <= 0)
        return false;
    const QString agent = m_loaded.value(m_def.agentField).toString();
    return !agent.isEmpty() && agent != myAgent();
}

bool EditControl::phonesMasked() const { return othersRecord() && !m_phonesShown; }

QString EditControl::missingRight(int right) const
{
    if (!allowed(right))
        return refusal(right);
    if (othersRecord() && !allowed(Right::OthersRecords))
        return refusal(Right::OthersRecords);
    return {};
}

void EditControl::applyRights()
{
    const bool editable = m_mode != View;
    const QString cannotSave = missingRight(m_mode == New ? Right::Add : Right::Change);
    const bool canSave = editable && cannotSave.isEmpty();
    allowCommand(QStringLiteral("save"), canSave, cannotSave);
    const QString cannotDelete = missingRight(Right::Delete);
    allowCommand(QStringLiteral("delete"), m_mode == Edit && cannotDelete.isEmpty(), cannotDelete);
    allowCommand(QStringLiteral("new"), allowed(Right::Add), refusal(Right::Add));
    allowCommand(QStringLiteral("book"), m_id > 0, QStringLiteral("请先保存或打开一条记录"));
    const bool masked = phonesMasked();
    allowCommand(QStringLiteral("phones"), masked && allowed(Right::SeePhones), masked ? refusal(Right::SeePhones) : QString());
    allowCommand(QStringLiteral("history"), m_id > 0, QStringLiteral("新记录还没有历史"));
    // A record the user may not change opens read-only.
    if (!canSave) {
        for (const Field &f : m_fields) {
            if (f.lookup)
                f.lookup->setReadOnly(true);
            else if (auto *line = qobject_cast<QLineEdit *>(f.editor))
                line->setReadOnly(true);
            else if (auto *memo = qobject_cast<QPlainTextEdit *>(f.editor))
                memo->setReadOnly(true);
            else
                f.editor->setEnabled(false);
        }
    }
    applyPhoneMask();
    applyOfferCommands();
    if (m_photoStrip)
        m_photoStrip->setEditable(canSave, editable ? cannotSave : QStringLiteral("以查看方式打开的房源不能修改照片"));
}

void EditControl::applyPhoneMask()
{
    const bool masked = phonesMasked();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields.at(i);
        if (f.def.type != u"phone")
            continue;
        auto *line = static_cast<QLineEdit *>(f.editor);
        const QString stored = m_loaded.value(f.def.field).toString();
        if (masked) {
            line->setText(RowModel::maskPhone(stored));
            line->setReadOnly(true);
            line->setToolTip(refusal(Right::SeePhones));
        } else if (line->text() == RowModel::maskPhone(stored) && !stored.isEmpty()) {
            line->setText(stored);
            line->setToolTip(QString());
        }
        if (int(i) < m_loadedTexts.size())
            m_loadedTexts[int(i)] = line->text();
    }
}

void EditControl::fillForm(const QVariantMap &values)
{
    m_loadedTexts.clear();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        Field &f = m_fields.at(i);
        const QVariant v = values.value(f.def.field);
        f.error->hide();
        f.unfit = false;
        if (f.lookup) {
            f.lookup->setKey(v);
        } else {
            // A stored value its column cannot take (text in a number column, a
            // date in another form) is shown as it is, never as a 0 that a save
            // would then write over it.
            const QString stored = v.toString();
            bool number = false;
            QLocale::c().toDouble(stored.trimmed(), &number);
            const QString shown = f.def.isNumeric() && (number || stored.trimmed().isEmpty()) ? RowModel::text(f.def, v) : stored;
            setFieldText(int(i), shown);
            if (m_id > 0 && !shown.trimmed().isEmpty() && !FieldCheck::check(f.def, shown)) {
                f.unfit = true;
                f.error->setText(QStringLiteral("已存的“%1”不符合“%2”的格式；不修改就原样保留").arg(shown, f.def.caption));
                f.error->show();
            }
        }
        m_loadedTexts << fieldText(int(i));
    }
}

void EditControl::newRecord()
{
    hideError();
    if (m_changedBar)
        m_changedBar->hide();
    m_id = 0;
    m_version = 0;
    m_loaded.clear();
    m_phonesShown = false;
    QVariantMap defaults;
    for (const Field &f : m_fields) {
        QVariant value = f.def.defaultValue;
        if (f.def.defaultValue == u"today")
            value = operationDate().toString(QStringLiteral("yyyy-MM-dd"));
        else if (f.def.defaultValue == u"me")
            value = myAgent(); // the agent who registers it, until someone else is chosen
        defaults.insert(f.def.field, value);
    }
    fillForm(defaults);
    m_hidden.clear();
    m_step = {};
    m_afterSave = {};
    if (m_photoStrip)
        m_photoStrip->setListing(0);
    setMode(New);
    updateAmountCaption();
    if (m_story)
        m_story->clear();
    if (m_matches)
        m_matches->hide();
    if (m_history)
        m_history->hide();
}

bool EditControl::openRecord(int id)
{
    const auto loaded = m_store->load(id);
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    const QVariantMap &values = loaded->values;
    const int version = loaded->version;
    hideError();
    if (m_changedBar)
        m_changedBar->hide();
    if (id != m_id)
        m_phonesShown = false;
    m_id = id;
    m_version = version;
    m_loaded = values;
    fillForm(values);
    if (m_photoStrip)
        m_photoStrip->setListing(id);
    setMode(m_mode == New ? Edit : m_mode);
    if (m_history && m_history->isVisible())
        showHistory();
    updateAmountCaption();
    if (const auto told = m_story ? m_story->load(id) : jx::Result<>(); !told)
        showError(QStringLiteral("读取往来记录出错：%1").arg(told.error()));
    sendMessage(QStringLiteral("%1：记录 %2").arg(m_def.title).arg(id));
    return true;
}

bool EditControl::isDirty() const
{
    if (m_rights)
        return m_rights->isDirty();
    if (m_mode == View)
        return false;
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (fieldText(int(i)) != m_loadedTexts.value(int(i)))
            return true;
    return false;
}

QString EditControl::inCaptions(QString why) const
{
    // The database names its columns; the user knows them by their captions.
    for (const Field &f : m_fields)
        why.replace(QStringLiteral("“%1”").arg(f.def.field), QStringLiteral("“%1”").arg(f.def.caption));
    return why;
}

bool EditControl::noneRefused(int refused, QWidget *first)
{
    if (!refused)
        return true;
    showError(QStringLiteral("有 %1 处输入需要修改，请看各栏下方的说明").arg(refused));
    if (first)
        first->setFocus();
    return false;
}

void EditControl::refuseAt(Field &field, const QString &why, QWidget *&first, int &refused)
{
    field.error->setText(why);
    field.error->setVisible(true);
    ++refused;
    if (!first)
        first = field.lookup ? field.lookup->edit() : field.editor;
}

bool EditControl::collect(QVariantMap &values)
{
    int refused = 0;
    QWidget *first = nullptr;
    const bool masked = phonesMasked();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        Field &f = m_fields.at(i);
        f.error->hide();
        // A masked phone was never shown, so it is not written back either;
        // nor is an unfitting stored value the user left as it was.
        if ((masked && f.def.type == u"phone") || (f.unfit && fieldText(int(i)) == m_loadedTexts.value(int(i))))
            continue;
        QVariant value;
        QString why;
        if (f.lookup) {
            bool databaseFailed = false;
            if (const auto key = f.lookup->resolve(&databaseFailed); !key) {
                if (databaseFailed) {
                    // Not the typing's fault: say what is wrong with the database, keep the form.
                    showError(QStringLiteral("保存失败：%1").arg(key.error()));
                    sendMessage(QStringLiteral("保存失败"));
                    return false;
                }
                why = key.error();
            } else {
                value = *key;
                if (f.def.required && value.isNull())
                    why = QStringLiteral("“%1”不能为空").arg(f.def.caption);
            }
        } else {
            // A refused value is kept as typed, trimmed, like every text.
            const QString typed = fieldText(int(i));
            const auto checked = FieldCheck::check(f.def, typed);
            value = checked.valueOr(typed.trimmed());
            why = checked.error();
        }
        if (!why.isEmpty())
            refuseAt(f, why, first, refused);
        values.insert(f.def.field, value);
    }
    if (!refused && !checkPairs(values))
        return false;
    return noneRefused(refused, first);
}

bool EditControl::checkPairs(const QVariantMap &values)
{
    int refused = 0;
    QWidget *first = nullptr;
    auto given = [&](const QString &field) {
        const QVariant v = values.value(field);
        return v.isValid() && !v.isNull() && !v.toString().isEmpty() && !(v.typeId() != QMetaType::QString && v.toDouble() == 0);
    };
    auto fieldOf = [&](const QString &name) -> Field * {
        for (Field &f : m_fields)
            if (f.def.field.compare(name, Qt::CaseInsensitive) == 0)
                return &f;
        return nullptr;
    };
    for (const QString &rule : m_def.pairRules) {
        if (const qsizetype at = rule.indexOf(QStringLiteral("<=")); at > 0) {
            Field *low = fieldOf(rule.left(at).trimmed()), *high = fieldOf(rule.mid(at + 2).trimmed());
            if (!low || !high || !given(low->def.field) || !given(high->def.field))
                continue;
            const QVariant a = values.value(low->def.field), b = values.value(high->def.field);
            const bool ordered = low->def.isNumeric() ? a.toDouble() <= b.toDouble() : a.toString() <= b.toString();
            if (!ordered)
                refuseAt(*high, QStringLiteral("“%1”不能小于“%2”").arg(high->def.caption, low->def.caption), first, refused);
        } else if (rule.contains(u'|')) {
            const QStringList names = rule.split(u'|', Qt::SkipEmptyParts);
            QStringList captions;
            bool any = false;
            for (const QString &n : names) {
                if (Field *f = fieldOf(n.trimmed())) {
                    captions << f->def.caption;
                    any = any || given(f->def.field);
                }
            }
            if (!any && !captions.isEmpty())
                if (Field *f = fieldOf(names.first().trimmed()))
                    refuseAt(*f, QStringLiteral("请至少填写%1之一").arg(captions.join(QStringLiteral("或"))), first, refused);
        }
    }
    return noneRefused(refused, first);
}

bool EditControl::askOnConflict(const QVariantMap &mine)
{
    for (;;) {
        const int answer = jx::msgBox(QStringLiteral("这条记录在您打开后已被他人修改。\n\n是：仍然保存您的内容\n否：对比您的内容与已保存的记录\n取消：不保存（您的输入保留在窗体中）"),
                                      jx::YesNoCancel | jx::Exclamation | jx::DefaultButton2, QStringLiteral("保存冲突"));
        if (answer == jx::Yes)
            return true;
        if (answer != jx::No)
            return false;
        jx::msgBox(comparison(mine), jx::OKOnly | jx::Information, QStringLiteral("对比"));
    }
}

QString EditControl::comparison(const QVariantMap &mine)
{
    const auto loaded = m_store->load(m_id);
    if (!loaded)
        return loaded.error();
    const QVariantMap &stored = loaded->values;
    QString text;
    for (const Field &f : m_fields) {
        const QString a = RowModel::text(f.def, mine.value(f.def.field));
        const QString b = RowModel::text(f.def, f.def.isNumeric() ? QVariant(stored.value(f.def.field).toDouble()) : stored.value(f.def.field));
        if (a != b)
            text += QStringLiteral("%1：您的“%2”，已保存的“%3”\n").arg(f.def.caption, a, b);
    }
    return text.isEmpty() ? QStringLiteral("您的内容与已保存的记录相同。\n") : text;
}

void EditControl::buildChangedBar()
{
    m_changedBar = new QFrame(page());
    m_changedBar->setObjectName(QStringLiteral("changedBar"));
    m_changedBar->setFrameShape(QFrame::StyledPanel);
    m_changedBar->setStyleSheet(QStringLiteral("#changedBar{background:#fff4ce;border:1px solid #e0c060;}"));
    auto *row = new QHBoxLayout(m_changedBar);
    row->setContentsMargins(8, 4, 8, 4);
    m_changedText = new QLabel(m_changedBar);
    m_changedText->setObjectName(QStringLiteral("changedText"));
    m_changedText->setWordWrap(true);
    row->addWidget(m_changedText, 1);
    m_compare = new QPushButton(QStringLiteral("对比"), m_changedBar);
    m_compare->setObjectName(QStringLiteral("compareChanged"));
    m_takeStored = new QPushButton(QStringLiteral("载入已保存的内容"), m_changedBar);
    m_takeStored->setObjectName(QStringLiteral("takeStored"));
    auto *dismiss = new QPushButton(QStringLiteral("关闭提示"), m_changedBar);
    dismiss->setObjectName(QStringLiteral("dismissChanged"));
    row->addWidget(m_compare);
    row->addWidget(m_takeStored);
    row->addWidget(dismiss);
    m_changedBar->hide();
    body()->addWidget(m_changedBar);
    QObject::connect(m_compare, &QPushButton::clicked, m_changedBar, [this] {
        QVariantMap mine;
        if (collect(mine))
            jx::msgBox(comparison(mine), jx::OKOnly | jx::Information, QStringLiteral("对比"));
    });
    QObject::connect(m_takeStored, &QPushButton::clicked, m_changedBar, [this] {
        if (jx::msgBox(QStringLiteral("放弃您在窗体中的输入，载入已保存的内容吗？"), jx::YesNo | jx::Question | jx::DefaultButton2,
                       QStringLiteral("提示："))
            == jx::Yes)
            openRecord(m_id);
    });
    QObject::connect(dismiss, &QPushButton::clicked, m_changedBar, [this] { m_changedBar->hide(); });
}

void EditControl::showChangedBar(const QString &text, bool stored)
{
    m_changedText->setText(text);
    m_changedBar->setAccessibleName(text);
    m_changedText->setAccessibleName(text);
    m_compare->setVisible(stored);
    m_takeStored->setVisible(stored);
    m_changedBar->show();
    sendMessage(text);
}

void EditControl::recordsChanged(const QVector<ChangeWatch::Change> &changes)
{
    if (!m_store || m_id <= 0 || m_mode == New || m_rights)
        return;
    const ChangeWatch::Change *mine = nullptr;
    for (const ChangeWatch::Change &c : changes)
        if (c.table.compare(m_def.table, Qt::CaseInsensitive) == 0 && c.key.toString() == QString::number(m_id))
            mine = &c;
    if (!mine)
        return;
    const QString who = mine->user.isEmpty() ? QStringLiteral("他人") : mine->user;
    const auto loaded = m_store->load(m_id);
    if (!loaded) {
        // Gone: nothing to reload; whatever was typed stays in the form.
        if (mine->kind == u"delete" || loaded.error().contains(QStringLiteral("不存在")))
            showChangedBar(QStringLiteral("这条记录已由 %1 删除。窗体中的内容仍然保留，可复制后关闭。").arg(who), false);
        return;
    }
    if (loaded->version == m_version)
        return; // this form's own save, or nothing new
    if (!isDirty()) {
        openRecord(m_id);
        sendMessage(QStringLiteral("这条记录已由 %1 修改，已载入最新内容").arg(who));
        return;
    }
    showChangedBar(QStringLiteral("这条记录已由 %1 修改。您的输入仍在窗体中；保存时可以选择保留哪一份。").arg(who), true);
}

bool EditControl::save()
{
    if (m_mode == View || !m_store)
        return false;
    hideError();
    if (m_mode == Edit && m_id <= 0) {
        showError(QStringLiteral("没有打开要修改的记录"));
        return false;
    }
    // The same rights as the disabled buttons say, for any way a save is asked.
    if (const QString missing = missingRight(m_mode == New ? Right::Add : Right::Change); !missing.isEmpty()) {
        showError(missing);
        return false;
    }
    QVariantMap values;
    if (!collect(values))
        return false;
    if (!confirmWarnings(values)) {
        sendMessage(QStringLiteral("未保存"));
        return false;
    }
    if (m_mode == New) {
        for (auto it = m_hidden.constBegin(); it != m_hidden.constEnd(); ++it)
            values.insert(it.key(), it.value());
        const RecordStore::Written written = m_store->insert(values, m_step);
        if (written.outcome != RecordStore::Outcome::Done) {
            showError(QStringLiteral("保存失败：%1").arg(inCaptions(written.done.error())));
            sendMessage(QStringLiteral("保存失败"));
            return false;
        }
        const int id = *written.done;
        QStringList what;
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            if (!it.value().toString().isEmpty())
                what << QStringLiteral("%1=%2").arg(it.key(), it.value().toString());
        logOperation(QStringLiteral("新增记录 程序<%1> 记录<%2>：%3").arg(progId()).arg(id).arg(what.join(QStringLiteral("，"))));
        const std::function<void(int)> afterSave = std::move(m_afterSave);
        m_hidden.clear();
        m_step = {};
        m_afterSave = {};
        setMode(Edit);
        openRecord(id);
        // Agents record viewings afterwards: allowed, and said so.
        if (ViewingRules::appliesTo(m_def.table) && ViewingRules::inThePast(values, QDateTime(operationDate(), QTime::currentTime())))
            sendMessage(QStringLiteral("保存成功（带看时间已过，按补录登记）"));
        else
            sendMessage(QStringLiteral("保存成功"));
        if (afterSave)
            afterSave(id);
        return true;
    }
    RecordStore::Written written = m_store->update(m_id, values, m_version, false);
    if (written.outcome == RecordStore::Outcome::Changed) {
        if (!askOnConflict(values)) {
            sendMessage(QStringLiteral("未保存"));
            return false;
        }
        written = m_store->update(m_id, values, m_version, true);
    }
    if (written.outcome != RecordStore::Outcome::Done) {
        showError(QStringLiteral("保存失败：%1").arg(inCaptions(written.done.error())));
        sendMessage(QStringLiteral("保存失败"));
        return false;
    }
    QStringList what;
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (fieldText(int(i)) != m_loadedTexts.value(int(i)))
            what << QStringLiteral("%1：%2→%3").arg(m_fields.at(i).def.field, m_loadedTexts.value(int(i)), fieldText(int(i)).trimmed());
    logOperation(QStringLiteral("修改记录 程序<%1> 记录<%2>：%3").arg(progId()).arg(m_id).arg(what.join(QStringLiteral("，"))));
    openRecord(m_id);
    sendMessage(QStringLiteral("保存成功"));
    return true;
}

bool EditControl::removeRecord()
{
    if (m_mode != Edit || m_id <= 0)
        return false;
    if (const QString missing = missingRight(Right::Delete); !missing.isEmpty()) {
        showError(missing);
        return false;
    }
    if (const RecordStore::Written written = m_store->remove(m_id, m_version); written.outcome != RecordStore::Outcome::Done) {
        showError(written.done.error());
        return false;
    }
    logOperation(QStringLiteral("删除记录 程序<%1> 记录<%2>").arg(progId()).arg(m_id));
    sendMessage(QStringLiteral("已删除"));
    newRecord();
    return true;
}

void EditControl::step(bool forward)
{
    if (m_id <= 0 && m_mode == New)
        return;
    if (!settleUnsaved())
        return;
    const int other = m_store->neighbour(m_id, forward);
    if (other > 0)
        openRecord(other);
    else
        sendMessage(forward ? QStringLiteral("已是最后一条") : QStringLiteral("已是第一条"));
}

bool EditControl::settleUnsaved()
{
    if (m_rights) {
        if (!m_rights->isDirty())
            return true;
        const int answer = jx::msgBox(QStringLiteral("权限的修改还没有保存，是否保存？"), jx::SaveDiscardCancel | jx::Question,
                                      QStringLiteral("提示："));
        if (answer == jx::Yes) {
            if (const auto saved = m_rights->save(); !saved) {
                showError(saved.error());
                return false;
            }
        }
        return answer != jx::Cancel;
    }
    if (!isDirty())
        return true;
    const QString what = m_id > 0 ? QStringLiteral("“%1”的记录已修改，是否保存？").arg(m_def.title)
                                  : QStringLiteral("“%1”的新记录还没有保存，是否保存？").arg(m_def.title);
    const int answer = jx::msgBox(what, jx::SaveDiscardCancel | jx::Question, QStringLiteral("提示："));
    if (answer == jx::No) {
        // Not saving: what was typed is given up, so the form no longer counts as changed.
        m_loadedTexts.clear();
        for (size_t i = 0; i < m_fields.size(); ++i)
            m_loadedTexts << fieldText(int(i));
        return true;
    }
    return answer == jx::Yes && save();
}

bool EditControl::queryClose() { return settleUnsaved(); }

void EditControl::closeForm()
{
    if (settleUnsaved())
        requestUnload();
}

bool EditControl::revealPhones()
{
    if (!othersRecord() || m_phonesShown)
        return true;
    if (!allowed(Right::SeePhones)) {
        showError(refusal(Right::SeePhones));
        return false;
    }
    m_phonesShown = true;
    setMode(m_mode); // the revealed phones become editable like the rest
    logOperation(QStringLiteral("查看电话 程序<%1> 记录<%2>").arg(progId()).arg(m_id));
    return true;
}

int EditControl::showHistory()
{
    if (!m_store || m_id <= 0 || !m_history)
        return 0;
    auto read = m_store->history().read(m_def.table, m_id);
    if (!read) {
        showError(QStringLiteral("读取历史出错：%1").arg(read.error()));
        return 0;
    }
    DataLink::Rows &rows = *read;
    const bool masked = phonesMasked();
    for (QVector<QVariant> &row : rows.rows) {
        const QString field = row.value(3).toString();
        const int col = m_def.columnIndex(field);
        if (col < 0)
            continue;
        const Field &f = m_fields.at(size_t(col));
        // Links show the records they name; hidden phones stay hidden here too.
        for (int v : {4, 5}) {
            if (f.lookup && !row.value(v).toString().isEmpty())
                row[v] = f.lookup->describe(row.value(v));
            else if (masked && f.def.type == u"phone")
                row[v] = RowModel::maskPhone(row.value(v).toString());
        }
        row[3] = f.def.caption;
    }
    m_history->setRows({ColumnDef::of("changedat", "时间", "text", 140), ColumnDef::of("username", "用户", "text", 70),
                        ColumnDef::of("action", "操作", "text", 50), ColumnDef::of("field", "项目", "text", 90),
                        ColumnDef::of("oldvalue", "原值", "text", 150), ColumnDef::of("newvalue", "新值", "text", 150)},
                       rows.columns, rows.rows, QStringLiteral("version"));
    m_history->show();
    sendMessage(QStringLiteral("共 %1 条修改记录").arg(rows.rows.size()));
    return int(rows.rows.size());
}

int EditControl::showMatches()
{
    if (m_def.matchKind.isEmpty() || !m_matches)
        return 0;
    // What the form shows now, saved or not.
    QVariantMap v;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        // What does not pass is matched on as typed.
        const QString typed = fieldText(int(i));
        v.insert(m_fields.at(i).def.field, FieldCheck::check(m_fields.at(i).def, typed).valueOr(typed.trimmed()));
    }
    auto nothing = [this](const QString &why) {
        m_matches->setRows({}, {}, {}, QString());
        m_matches->hide();
        sendMessage(why);
        return 0;
    };
    const QString status = v.value(QStringLiteral("status")).toString();
    if (v.contains(QStringLiteral("status")) && status != u"有效")
        return nothing(QStringLiteral("状态为“%1”的%2不参与匹配").arg(status, m_def.matchKind == u"customer" ? QStringLiteral("客户")
                                                                                                          : QStringLiteral("房源")));
    const auto col = &ColumnDef::of;
    const ListingMatcher matcher(link());
    jx::Result<QVector<ListingMatcher::Match>> matched = QVector<ListingMatcher::Match>();
    QStringList sourceColumns{QStringLiteral("score"), QStringLiteral("reasons")};
    QVector<ColumnDef> columns{col("score", "匹配度", "score", 80), col("reasons", "匹配说明", "text", 260)};
    if (m_def.matchKind == u"customer") {
        ListingMatcher::Wish wish;
        wish.dealType = v.value(QStringLiteral("dealtype")).toString();
        wish.districts = ListingMatcher::splitDistricts(
            v.value(v.contains(QStringLiteral("districts")) ? QStringLiteral("districts") : QStringLiteral("district")).toString());
        wish.priceMin = v.value(QStringLiteral("pricemin")).toDouble();
        wish.priceMax = v.value(QStringLiteral("pricemax")).toDouble();
        wish.areaMin = v.value(QStringLiteral("areamin")).toDouble();
        wish.areaMax = v.value(QStringLiteral("areamax")).toDouble();
        wish.rooms = v.value(QStringLiteral("rooms")).toInt();
        if (!wish.hasCriteria())
            return nothing(QStringLiteral("客户没有填写需求，无法匹配"));
        matched = matcher.listingsFor(wish);
        sourceColumns << ListingMatcher::listingColumns();
        columns << QVector<ColumnDef>{col("code", "房源编号", "text", 90), col("district", "区域", "text", 70),
                                      col("community", "小区", "text", 120), col("rooms", "房间数", "int", 60),
                                      col("area", "面积(㎡)", "number", 70), col("price", "价格", "number", 80),
                                      col("agent", "经纪人", "text", 70)};
    } else {
        ListingMatcher::Offer offer;
        offer.dealType = v.value(QStringLiteral("dealtype")).toString();
        offer.district = v.value(QStringLiteral("district")).toString();
        offer.price = v.value(QStringLiteral("price")).toDouble();
        offer.area = v.value(QStringLiteral("area")).toDouble();
        offer.rooms = v.value(QStringLiteral("rooms")).toInt();
        matched = matcher.customersFor(offer);
        sourceColumns << ListingMatcher::customerColumns();
        columns << QVector<ColumnDef>{col("name", "客户姓名", "text", 80),   col("phone", "电话", "phone", 100),
                                      col("districts", "意向区域", "text", 110), col("pricemin", "最低价", "number", 70),
                                      col("pricemax", "最高价", "number", 70), col("areamin", "最小面积", "number", 70),
                                      col("areamax", "最大面积", "number", 70), col("rooms", "房间数", "int", 60),
                                      col("agent", "经纪人", "text", 70)};
    }
    if (!matched) {
        showError(QStringLiteral("匹配出错：%1").arg(matched.error()));
        return 0;
    }
    const QVector<ListingMatcher::Match> &found = *matched;
    QVector<QVector<QVariant>> rows;
    for (const ListingMatcher::Match &m : found) {
        if (m.row.isEmpty())
            continue; // beyond the best shown, or deleted meanwhile
        QVector<QVariant> row{m.score.percent, m.score.reasonText()};
        row += m.row;
        rows.append(std::move(row));
    }
    m_matches->rows()->setPhoneMask(QStringLiteral("agent"), myAgent());
    m_matches->setRows(columns, sourceColumns, rows, QStringLiteral("id"));
    m_matches->show();
    const int count = int(rows.size());
    sendMessage(found.size() > rows.size() ? QStringLiteral("匹配到 %1 条，显示最匹配的 %2 条").arg(found.size()).arg(count)
                                           : QStringLiteral("匹配到 %1 条").arg(count));
    return count;
}

// Offers: records started from another one, and the amount's unit.

void EditControl::prefill(const QVariantMap &shown, const QVariantMap &hidden, Step step, std::function<void(int id)> afterSave)
{
    newRecord();
    // The defaults stay what the form was loaded with, so the filled-in values count as typed.
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields.at(i);
        if (!shown.contains(f.def.field))
            continue;
        const QVariant v = shown.value(f.def.field);
        if (f.lookup)
            f.lookup->setKey(v);
        else
            setFieldText(int(i), f.def.isNumeric() ? RowModel::text(f.def, v) : v.toString());
    }
    m_hidden = hidden;
    m_step = std::move(step);
    m_afterSave = std::move(afterSave);
    updateAmountCaption();
}

void EditControl::updateAmountCaption()
{
    if (m_def.table != u"cj_offer" || !m_store)
        return;
    const int house = m_def.columnIndex(QStringLiteral("houseid")), amount = m_def.columnIndex(QStringLiteral("amount"));
    if (house < 0 || amount < 0)
        return;
    QString dealType;
    const LookupField *lookup = m_fields.at(size_t(house)).lookup;
    // A listing not yet named (or named wrongly), or one that cannot be read,
    // leaves the caption naming both kinds of deal.
    if (const jx::Result<QVariant> key = lookup ? lookup->resolve() : jx::fail(QString()))
        dealType = OfferRules(link(), m_store->history()).dealTypeOf(*key).valueOr(QString());
    Field &f = m_fields.at(size_t(amount));
    f.def.caption = OfferRules::amountCaption(dealType);
    f.editor->setAccessibleName(f.def.caption);
    if (f.label)
        f.label->setText(f.def.required ? f.def.caption + QStringLiteral(" *") : f.def.caption);
}

void EditControl::applyOfferCommands()
{
    if (m_def.table != u"cj_offer")
        return;
    const bool open = m_id > 0 && m_mode != New && m_loaded.value(QStringLiteral("state")).toString() == OfferRules::kOpen;
    const QString notOpen = m_id > 0 ? QStringLiteral("只有“有效”的出价可以还价或接受") : QStringLiteral("请先打开一条出价");
    const QString cannotAdd = missingRight(Right::Add);
    allowCommand(QStringLiteral("counter"), open && cannotAdd.isEmpty(), open ? cannotAdd : notOpen);
    const QString cannotChange = missingRight(Right::Change);
    allowCommand(QStringLiteral("accept"), open && cannotChange.isEmpty(), open ? cannotChange : notOpen);
}

bool EditControl::counterOffer()
{
    if (m_def.table != u"cj_offer" || m_id <= 0 || !m_store)
        return false;
    if (!settleUnsaved())
        return false;
    hideError();
    if (const QString missing = missingRight(Right::Add); !missing.isEmpty()) {
        showError(missing);
        return false;
    }
    const auto read = OfferRules(link(), m_store->history()).read(m_id);
    if (!read) {
        showError(read.error());
        return false;
    }
    const OfferRules::Offer &offer = *read;
    if (offer.state != OfferRules::kOpen) {
        showError(QStringLiteral("这条出价的状态是“%1”，只有“有效”的出价可以还价").arg(offer.state));
        return false;
    }
    const DataLink db = link();
    const ChangeHistory history = m_store->history();
    const int parent = offer.id;
    prefill({{QStringLiteral("houseid"), offer.houseId},
             {QStringLiteral("customerid"), offer.customerId},
             {QStringLiteral("agent"), offer.agent},
             {QStringLiteral("side"), OfferRules::otherSide(offer.side)}},
            {{QStringLiteral("parentid"), parent}},
            [db, history, parent](int id, const QVariantMap &values) { return OfferRules(db, history).counter(parent, id, values); },
            {});
    // The chain being answered stays in sight while the answer is typed.
    if (const auto told = m_story ? m_story->load(parent) : jx::Result<>(); !told)
        showError(QStringLiteral("读取往来记录出错：%1").arg(told.error()));
    sendMessage(QStringLiteral("还价：回应 %1 的%2 %3").arg(offer.offerDate, offer.side, RowModel::text(m_fields.at(size_t(m_def.columnIndex(QStringLiteral("amount")))).def, offer.amount)));
    if (const int amount = m_def.columnIndex(QStringLiteral("amount")); amount >= 0)
        m_fields.at(size_t(amount)).editor->setFocus();
    return true;
}

bool EditControl::acceptOffer()
{
    if (m_def.table != u"cj_offer" || m_id <= 0 || !m_store)
        return false;
    if (!settleUnsaved())
        return false;
    hideError();
    if (const QString missing = missingRight(Right::Change); !missing.isEmpty()) {
        showError(missing);
        return false;
    }
    const int program = FunctionDefinition::entryProgramFor(link(), QStringLiteral("ht_contract"));
    if (program <= 0) {
        showError(QStringLiteral("没有合同登记的功能，不能接受出价"));
        return false;
    }
    if (!allowed(Right::Add, program)) {
        showError(QStringLiteral("接受出价要登记合同：%1").arg(refusal(Right::Add)));
        return false;
    }
    const OfferRules rules(link(), m_store->history());
    const auto read = rules.read(m_id);
    const jx::Result<> acceptable = read ? rules.checkAccept(*read) : jx::Result<>(jx::fail(read.error()));
    if (!acceptable) {
        showError(acceptable.error());
        sendMessage(QStringLiteral("不能接受出价"));
        return false;
    }
    const OfferRules::Offer &offer = *read;
    auto *dialog = new ContractDialog(context(), program, page()->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const DataLink db = link();
    const ChangeHistory history = m_store->history();
    const int offerId = offer.id;
    const auto started = dialog->start({{QStringLiteral("houseid"), offer.houseId},
                                        {QStringLiteral("customerid"), offer.customerId},
                                        {QStringLiteral("agent"), offer.agent},
                                        {QStringLiteral("dealtype"), offer.dealType},
                                        {QStringLiteral("price"), offer.amount}},
                                       [db, history, offerId](int id, const QVariantMap &values) {
                                           return OfferRules(db, history).accept(offerId, id, values);
                                       });
    if (!started) {
        delete dialog;
        showError(started.error());
        return false;
    }
    QObject::connect(dialog, &ContractDialog::saved, page(), [this, offerId](int contract) {
        logOperation(QStringLiteral("接受出价 程序<%1> 记录<%2>：合同<%3>").arg(progId()).arg(offerId).arg(contract));
        if (m_id == offerId && !isDirty())
            openRecord(offerId);
    });
    QObject::connect(dialog, &ContractDialog::detailRequested, page(), [this](int prog, const QVariant &key) { openDetail(prog, key); });
    dialog->open();
    sendMessage(QStringLiteral("请在合同窗体中核对并保存；不保存则出价不变"));
    return true;
}

// A listing's photos and documents. They belong to fy_house rows
// (fy_attachment.houseid), so every form of that table shows them.
void EditControl::buildPhotoStrip(QSplitter *splitter)
{
    if (m_def.table != u"fy_house")
        return;
    m_photoStrip = new PhotoStrip(link(), userName(), splitter);
    // A new listing is saved before its first photo: its id is what the photos hang on.
    m_photoStrip->setSaveFirst([this] { return save() ? m_id : 0; });
    m_photoStrip->setReporter([this](const QString &operation, const QString &status) {
        if (!operation.isEmpty())
            logOperation(operation);
        sendMessage(status);
    });
    // Files dropped anywhere on the form go to the listing.
    m_photoStrip->acceptDropsOn(m_form);
    splitter->setStretchFactor(0, 3);
}

} // namespace jxedit

namespace jxedit {

bool EditControl::confirmWarnings(const QVariantMap &values)
{
    if (!ViewingRules::appliesTo(m_def.table))
        return true;
    const auto found = ViewingRules(link()).warnings(m_mode == New ? 0 : m_id, m_mode == New ? QVariantMap() : m_loaded, values);
    if (!found) {
        showError(QStringLiteral("保存失败：%1").arg(found.error()));
        return false;
    }
    const QStringList &warnings = *found;
    if (warnings.isEmpty())
        return true;
    return jx::msgBox(QStringLiteral("%1\n\n是否仍然保存？").arg(warnings.join(u'\n')), jx::YesNo | jx::Exclamation | jx::DefaultButton2,
                      QStringLiteral("提示："))
        == jx::Yes;
}

bool EditControl::bookViewing()
{
    const bool customer = m_def.table == u"kh_customer";
    if (m_id <= 0 || (!customer && m_def.table != u"fy_house"))
        return false;
    const int program = FunctionDefinition::entryProgramFor(link(), QString::fromLatin1(ViewingRules::kTable));
    if (program <= 0) {
        showError(QStringLiteral("没有带看登记的功能定义"));
        return false;
    }
    QVariantMap given{{customer ? QStringLiteral("customerid") : QStringLiteral("houseid"), m_id}};
    // The listing (customer) chosen in the matches comes along.
    if (m_matches && !m_matches->isHidden())
        if (const QVariant chosen = m_matches->currentKey(); chosen.isValid() && chosen.toInt() > 0)
            given.insert(customer ? QStringLiteral("houseid") : QStringLiteral("customerid"), chosen.toInt());
    raiseEvent(QStringLiteral("detailes"), {com::Variant::fromInt32(program), com::Variant::fromString(NewRecordKey::make(given))});
    return true;
}

void EditControl::prefill(const QVariantMap &given)
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        Field &f = m_fields.at(i);
        if (!given.contains(f.def.field))
            continue;
        QVariant value = given.value(f.def.field);
        bool number = false;
        if (const int key = value.toString().toInt(&number); number)
            value = key; // record keys travel as text
        if (f.lookup)
            f.lookup->setKey(value);
        else
            setFieldText(int(i), value.toString());
    }
}

} // namespace jxedit
