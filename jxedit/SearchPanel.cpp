#include "jxedit/SearchPanel.h"

#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace jxedit {

namespace {
// More choices than this go into a check list instead of a row of boxes.
constexpr int kBoxesInARow = 8;
// Fields side by side in one row of the panel.
constexpr int kFieldsPerRow = 3;
} // namespace

SearchPanel::SearchPanel(QWidget *parent)
    : QWidget(parent), m_grid(new QGridLayout), m_savedList(new QComboBox(this)), m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("searchPanel"));
    setAccessibleName(QStringLiteral("查找条件"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    m_grid->setHorizontalSpacing(6);
    outer->addLayout(m_grid);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        m_commands << b;
        return b;
    };
    connect(button(QStringLiteral("searchRun"), QStringLiteral("查找")), &QPushButton::clicked, this, [this] { search(); });
    connect(button(QStringLiteral("searchClear"), QStringLiteral("清空条件")), &QPushButton::clicked, this, [this] {
        clearFields();
        m_savedList->setCurrentIndex(0);
        search();
    });
    buttons->addSpacing(16);
    auto *savedLabel = new QLabel(QStringLiteral("已存条件："), this);
    buttons->addWidget(savedLabel);
    m_savedList->setObjectName(QStringLiteral("savedSearches"));
    m_savedList->setAccessibleName(QStringLiteral("已存条件"));
    m_savedList->setMinimumContentsLength(12);
    m_savedList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    savedLabel->setBuddy(m_savedList);
    buttons->addWidget(m_savedList);
    m_commands << m_savedList;
    // Choosing a kept search runs it; the first entry is the hint "(选择)".
    connect(m_savedList, &QComboBox::activated, this, [this](int index) {
        if (index > 0)
            choose(m_savedList->itemText(index));
    });
    connect(button(QStringLiteral("searchSave"), QStringLiteral("保存条件…")), &QPushButton::clicked, this, [this] { saveInteractively(); });
    connect(button(QStringLiteral("searchDelete"), QStringLiteral("删除条件")), &QPushButton::clicked, this,
            [this] { removeInteractively(); });
    buttons->addStretch(1);
    connect(button(QStringLiteral("searchCollapse"), QStringLiteral("收起")), &QPushButton::clicked, this, &SearchPanel::collapseRequested);
    outer->addLayout(buttons);

    m_message->setObjectName(QStringLiteral("searchMessage"));
    m_message->setWordWrap(true);
    m_message->hide();
    outer->addWidget(m_message);
}

QLineEdit *SearchPanel::lineEdit(const QString &name, const QString &accessible, const QString &placeholder)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setPlaceholderText(placeholder);
    edit->installEventFilter(this);
    return edit;
}

QWidget *SearchPanel::rangeEditor(Field &field, QLabel *label)
{
    const bool date = field.column.type == u"date";
    auto *editor = new QWidget(this);
    auto *h = new QHBoxLayout(editor);
    h->setContentsMargins(0, 0, 0, 0);
    field.from = lineEdit(QStringLiteral("from:") + field.column.field, field.column.caption + QStringLiteral(" 起"),
                          date ? QStringLiteral("起始日期") : QStringLiteral("不限"));
    field.to = lineEdit(QStringLiteral("to:") + field.column.field, field.column.caption + QStringLiteral(" 止"),
                        date ? QStringLiteral("截止日期") : QStringLiteral("不限"));
    h->addWidget(field.from, 1);
    h->addWidget(new QLabel(QStringLiteral("至"), editor));
    h->addWidget(field.to, 1);
    label->setBuddy(field.from);
    return editor;
}

QWidget *SearchPanel::choiceEditor(const DataLink &link, Field &field, QLabel *label)
{
    // Choices from the definition, or a link's records from their table.
    QStringList values = field.column.choices, shown = field.column.choices;
    if (field.column.isLookup()) {
        values.clear();
        shown.clear();
        const auto rows = link.select(QStringLiteral("select distinct %1,%2 from %3 order by 2")
                                          .arg(field.column.lookup.key, field.column.lookup.shown.first(), field.column.lookup.table),
                                      {});
        if (!rows)
            showMessage(QStringLiteral("读取“%1”的选项出错：%2").arg(field.column.caption, rows.error()), true);
        for (const QVector<QVariant> &r : rows.valueOr({}).rows) {
            values << r.value(0).toString();
            shown << r.value(1).toString();
        }
    }
    QWidget *editor = nullptr;
    if (values.size() > kBoxesInARow) {
        field.list = new QListWidget(this);
        field.list->setObjectName(QStringLiteral("choice:") + field.column.field);
        field.list->setAccessibleName(field.column.caption);
        field.list->setFixedHeight(field.list->fontMetrics().height() * 4 + 8);
        for (int i = 0; i < values.size(); ++i) {
            auto *item = new QListWidgetItem(shown.at(i), field.list);
            item->setData(Qt::UserRole, values.at(i));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        field.list->installEventFilter(this);
        editor = field.list;
        label->setBuddy(field.list);
    } else {
        editor = new QWidget(this);
        editor->setAccessibleName(field.column.caption);
        auto *h = new QHBoxLayout(editor);
        h->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < values.size(); ++i) {
            auto *box = new QCheckBox(shown.at(i), editor);
            box->setObjectName(QStringLiteral("choice:%1:%2").arg(field.column.field, values.at(i)));
            box->setProperty("searchValue", values.at(i));
            box->installEventFilter(this);
            h->addWidget(box);
            field.boxes << box;
        }
        h->addStretch(1);
        if (!field.boxes.isEmpty())
            label->setBuddy(field.boxes.first());
    }
    return editor;
}

void SearchPanel::addField(const DataLink &link, const ColumnDef &column, SearchTerm::Kind kind, int &row, int &slot)
{
    Field field;
    field.column = column;
    field.kind = kind;
    auto *label = new QLabel(column.caption + u'：', this);
    QWidget *editor = nullptr;
    switch (kind) {
    case SearchTerm::Kind::Range:
        editor = rangeEditor(field, label);
        break;
    case SearchTerm::Kind::Choice:
        editor = choiceEditor(link, field, label);
        break;
    case SearchTerm::Kind::Text:
        field.text = lineEdit(QStringLiteral("text:") + column.field, column.caption, QStringLiteral("包含"));
        editor = field.text;
        label->setBuddy(field.text);
        break;
    }
    m_grid->addWidget(label, row, slot * 2, Qt::AlignRight | Qt::AlignVCenter);
    m_grid->addWidget(editor, row, slot * 2 + 1);
    m_fields.append(field);
    if (++slot == kFieldsPerRow) {
        slot = 0;
        ++row;
    }
}

void SearchPanel::setup(const DataLink &link, const QVector<ColumnDef> &columns, const QString &user, int progId)
{
    // Started again (another Py_Init): the fields are made anew for the definition as it is now.
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_fields.clear();
    m_applied = SearchCondition();
    m_columns = columns;
    m_saved = SavedSearches(link, user, progId);
    int row = 0, slot = 0;
    for (const ColumnDef &c : columns)
        if (const auto kind = SearchCondition::kindOf(c))
            addField(link, c, *kind, row, slot);
    for (int s = 0; s < kFieldsPerRow; ++s)
        m_grid->setColumnStretch(s * 2 + 1, 1);
    // The fields are made after the buttons: Tab goes through the fields
    // first, then to 查找 and the saved searches.
    if (!m_fields.isEmpty()) {
        const Field &f = m_fields.last();
        QWidget *previous = f.to ? static_cast<QWidget *>(f.to)
                            : f.text ? static_cast<QWidget *>(f.text)
                            : f.list ? static_cast<QWidget *>(f.list)
                                     : (f.boxes.isEmpty() ? nullptr : f.boxes.last());
        for (QWidget *w : std::as_const(m_commands)) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }
    refreshSaved();
}

SearchCondition SearchPanel::condition() const
{
    QVector<SearchTerm> terms;
    for (const Field &f : m_fields) {
        SearchTerm t;
        t.field = f.column.field;
        t.kind = f.kind;
        if (f.from) {
            t.from = f.from->text();
            t.to = f.to->text();
        }
        if (f.text)
            t.text = f.text->text();
        for (const QCheckBox *box : f.boxes)
            if (box->isChecked())
                t.values << box->property("searchValue").toString();
        if (f.list)
            for (int i = 0; i < f.list->count(); ++i)
                if (f.list->item(i)->checkState() == Qt::Checked)
                    t.values << f.list->item(i)->data(Qt::UserRole).toString();
        if (!t.isEmpty())
            terms << t;
    }
    return SearchCondition(terms);
}

void SearchPanel::clearFields()
{
    for (Field &f : m_fields) {
        for (QLineEdit *e : {f.from, f.to, f.text})
            if (e)
                e->clear();
        for (QCheckBox *box : f.boxes)
            box->setChecked(false);
        if (f.list)
            for (int i = 0; i < f.list->count(); ++i)
                f.list->item(i)->setCheckState(Qt::Unchecked);
    }
}

void SearchPanel::setCondition(const SearchCondition &condition)
{
    clearFields();
    for (const SearchTerm &t : condition.terms()) {
        for (Field &f : m_fields) {
            if (f.column.field != t.field || f.kind != t.kind)
                continue;
            if (f.from) {
                f.from->setText(t.from);
                f.to->setText(t.to);
            }
            if (f.text)
                f.text->setText(t.text);
            for (QCheckBox *box : f.boxes)
                box->setChecked(t.values.contains(box->property("searchValue").toString()));
            if (f.list)
                for (int i = 0; i < f.list->count(); ++i)
                    f.list->item(i)->setCheckState(t.values.contains(f.list->item(i)->data(Qt::UserRole).toString()) ? Qt::Checked
                                                                                                                      : Qt::Unchecked);
        }
    }
}

bool SearchPanel::search()
{
    const SearchCondition c = condition();
    const auto where = c.toWhere(m_columns);
    if (!where) {
        // The fields stay as typed, so the user corrects only what is wrong.
        showMessage(where.error(), true);
        return false;
    }
    showMessage(QString(), false);
    m_applied = c;
    emit searchRequested(where->text, where->params);
    return true;
}

bool SearchPanel::saveAs(const QString &name)
{
    const auto checked = SavedSearches::checkName(name);
    if (!checked) {
        showMessage(checked.error(), true);
        return false;
    }
    const QString n = *checked;
    QString why;
    const SearchCondition c = condition();
    if (c.isEmpty()) {
        showMessage(QStringLiteral("没有填写查找条件，无需保存"), true);
        return false;
    }
    // A search that cannot run is not kept.
    if (const auto where = c.toWhere(m_columns); !where) {
        showMessage(where.error(), true);
        return false;
    }
    const auto found = m_saved.exists(n);
    if (!found) {
        showMessage(found.error(), true);
        return false;
    }
    if (*found && jx::msgBox(QStringLiteral("已有名为“%1”的查找条件，要用现在的条件替换它吗？").arg(n),
                            jx::YesNo | jx::Question | jx::DefaultButton2, QStringLiteral("保存查找条件"))
                     != jx::Yes) {
        showMessage(QStringLiteral("未保存：“%1”保持原来的条件").arg(n), false);
        return false;
    }
    if (const auto saved = m_saved.save(n, c.toText(m_columns)); !saved) {
        showMessage(saved.error(), true);
        return false;
    }
    refreshSaved(n);
    showMessage(QStringLiteral("已保存查找条件“%1”").arg(n), false);
    return true;
}

bool SearchPanel::choose(const QString &name)
{
    const auto text = m_saved.load(name);
    if (!text) {
        showMessage(text.error(), true);
        refreshSaved();
        return false;
    }
    QStringList dropped;
    const auto c = SearchCondition::fromText(*text, m_columns, dropped);
    if (!c) {
        showMessage(QStringLiteral("“%1”：%2").arg(name, c.error()), true);
        return false;
    }
    setCondition(*c);
    if (!search())
        return false;
    refreshSaved(name);
    if (!dropped.isEmpty())
        showMessage(QStringLiteral("查找条件“%1”中的“%2”已不在列表中，这些条件未使用").arg(name, dropped.join(u'、')), true);
    return true;
}

bool SearchPanel::removeSaved(const QString &name)
{
    if (jx::msgBox(QStringLiteral("确定删除查找条件“%1”吗？").arg(name), jx::YesNo | jx::Question | jx::DefaultButton2,
                   QStringLiteral("删除查找条件"))
        != jx::Yes)
        return false;
    if (const auto removed = m_saved.remove(name); !removed) {
        showMessage(removed.error(), true);
        return false;
    }
    refreshSaved();
    showMessage(QStringLiteral("已删除查找条件“%1”").arg(name), false);
    return true;
}

QStringList SearchPanel::savedNames() const
{
    QStringList names;
    for (int i = 1; i < m_savedList->count(); ++i)
        names << m_savedList->itemText(i);
    return names;
}

void SearchPanel::refreshSaved(const QString &current)
{
    const auto names = m_saved.names();
    if (!names)
        showMessage(names.error(), true);
    m_savedList->clear();
    m_savedList->addItem(QStringLiteral("（选择）"));
    m_savedList->addItems(names.valueOr({}));
    m_savedList->setCurrentIndex(qMax(0, m_savedList->findText(current)));
}

void SearchPanel::saveInteractively()
{
    bool ok = false;
    const QString suggested = m_savedList->currentIndex() > 0 ? m_savedList->currentText() : QString();
    const QString name = QInputDialog::getText(this, QStringLiteral("保存查找条件"), QStringLiteral("名称："), QLineEdit::Normal, suggested, &ok);
    if (ok)
        saveAs(name);
}

void SearchPanel::removeInteractively()
{
    if (m_savedList->currentIndex() <= 0) {
        showMessage(QStringLiteral("请先在“已存条件”中选择要删除的查找条件"), true);
        return;
    }
    removeSaved(m_savedList->currentText());
}

QString SearchPanel::message() const { return m_message->text(); }

void SearchPanel::showMessage(const QString &text, bool error)
{
    m_message->setText(text);
    m_message->setStyleSheet(error ? QStringLiteral("color:#b00020;") : QString());
    m_message->setHidden(text.isEmpty());
}

void SearchPanel::focusFirstField()
{
    for (const Field &f : m_fields) {
        QWidget *w = f.from ? static_cast<QWidget *>(f.from)
                     : f.text ? static_cast<QWidget *>(f.text)
                     : f.list ? static_cast<QWidget *>(f.list)
                              : (f.boxes.isEmpty() ? nullptr : f.boxes.first());
        if (w) {
            w->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
    m_savedList->setFocus(Qt::ShortcutFocusReason);
}

void SearchPanel::keyPressEvent(QKeyEvent *event)
{
    // Escape from any control of the panel (buttons and the list pass it on).
    if (event->key() == Qt::Key_Escape) {
        emit collapseRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString SearchPanel::appliedText() const
{
    QStringList parts;
    for (const SearchTerm &t : m_applied.terms()) {
        const auto field = std::find_if(m_fields.begin(), m_fields.end(), [&](const Field &f) { return f.column.field == t.field; });
        if (field == m_fields.end() || t.isEmpty())
            continue;
        QString value;
        switch (t.kind) {
        case SearchTerm::Kind::Range:
            value = t.from.trimmed().isEmpty() ? QStringLiteral("不超过 %1").arg(t.to.trimmed())
                    : t.to.trimmed().isEmpty() ? QStringLiteral("不低于 %1").arg(t.from.trimmed())
                                               : QStringLiteral("%1 至 %2").arg(t.from.trimmed(), t.to.trimmed());
            break;
        case SearchTerm::Kind::Choice: {
            QStringList shown;
            for (const QCheckBox *box : field->boxes)
                if (t.values.contains(box->property("searchValue").toString()))
                    shown << box->text();
            if (field->list)
                for (int i = 0; i < field->list->count(); ++i)
                    if (t.values.contains(field->list->item(i)->data(Qt::UserRole).toString()))
                        shown << field->list->item(i)->text();
            value = shown.join(u'、');
            break;
        }
        case SearchTerm::Kind::Text:
            value = QStringLiteral("包含“%1”").arg(t.text.trimmed());
            break;
        }
        parts << field->column.caption + u'：' + value;
    }
    return parts.join(u'；');
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit collapseRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace jxedit
