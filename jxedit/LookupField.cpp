#include "jxedit/LookupField.h"

#include "jxedit/LookupDialog.h"
#include "jxedit/RowModel.h"

#include "platform/com/LateBound.h"

#include <QCompleter>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>

namespace jxedit {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

// LIKE patterns take the user's text literally.
QString containsPattern(const QString &text)
{
    QString escaped = text.toLower();
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
    return u'%' + escaped + u'%';
}

} // namespace

LookupField::LookupField(DataLink link, LookupDef def, QWidget *parent)
    : QWidget(parent), m_link(std::move(link)), m_def(std::move(def)), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)),
      m_completer(new QCompleter(this)), m_suggestions(new QStandardItemModel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_edit->setPlaceholderText(QStringLiteral("输入编号或名称，F4 查找"));
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(QStringLiteral("查找 (F4)"));
    m_button->setAccessibleName(QStringLiteral("查找"));
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);

    // The database filters; the completer only shows what it found.
    m_completer->setModel(m_suggestions);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setWidget(m_edit);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &LookupField::complete);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this, [this](const QModelIndex &index) {
        take(index.data(kKeyRole), index.data(Qt::DisplayRole).toString());
    });
    connect(m_button, &QToolButton::clicked, this, &LookupField::choose);
}

bool LookupField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F4
        && !m_edit->isReadOnly()) {
        choose();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString LookupField::joinShown(const LookupDef &def, const QVector<QVariant> &row)
{
    QStringList parts;
    for (int i = 0; i < def.shown.size(); ++i) {
        QString value = row.value(i + 1).toString().trimmed();
        // Phones help to tell two customers of one name apart; the last digits do that.
        if (def.shown.at(i).contains(QStringLiteral("phone"), Qt::CaseInsensitive))
            value = RowModel::maskPhone(value);
        if (!value.isEmpty())
            parts << value;
    }
    return parts.join(QStringLiteral(" · "));
}

jx::Result<QVector<QVector<QVariant>>> LookupField::search(const QString &text, int limit) const
{
    const QString fields = m_def.key + u',' + m_def.shown.join(u',');
    const QString typed = text.trimmed();
    QString sql = QStringLiteral("select %1 from %2").arg(fields, m_def.table);
    QVariantList params;
    if (!typed.isEmpty()) {
        QStringList any;
        for (const QString &f : m_def.shown) {
            any << QStringLiteral("lower(%1) like ? escape '\\'").arg(f);
            params << containsPattern(typed);
        }
        sql += QStringLiteral(" where ") + any.join(QStringLiteral(" or "));
        // Codes that start with the text come before those that only contain it.
        sql += QStringLiteral(" order by case when lower(%1) like ? escape '\\' then 0 else 1 end,%1").arg(m_def.shown.first());
        params << containsPattern(typed).mid(1);
    } else {
        sql += QStringLiteral(" order by %1").arg(m_def.shown.first());
    }
    auto cursor = m_link.open(sql, params);
    if (!cursor)
        return jx::fail(cursor.error());
    QVector<QVector<QVariant>> rows;
    try {
        cursor->fetch(limit, rows);
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
    if (rows.size() > limit)
        rows.resize(limit);
    return rows;
}

void LookupField::complete(const QString &typed)
{
    m_suggestions->clear();
    if (typed.trimmed().isEmpty())
        return;
    const auto rows = search(typed, 20);
    if (!rows)
        return; // a failed suggestion list is no reason to stop the typing
    for (const QVector<QVariant> &row : *rows) {
        auto *item = new QStandardItem(joinShown(m_def, row));
        item->setData(row.value(0), kKeyRole);
        m_suggestions->appendRow(item);
    }
    if (!rows->isEmpty())
        m_completer->complete();
}

void LookupField::take(const QVariant &key, const QString &shown)
{
    m_key = key;
    m_shown = shown;
    m_edit->setText(shown);
    emit chosen(key);
}

QString LookupField::describe(const QVariant &key) const
{
    if (!key.isValid() || key.isNull() || key.toString().isEmpty())
        return {};
    const auto rows =
        m_link.select(QStringLiteral("select %1,%2 from %3 where %1=?").arg(m_def.key, m_def.shown.join(u','), m_def.table), {key});
    if (!rows || rows->rows.isEmpty())
        return {};
    return joinShown(m_def, rows->rows.first());
}

void LookupField::setKey(const QVariant &key)
{
    const bool none = !key.isValid() || key.isNull() || key.toString().isEmpty();
    m_key = none ? QVariant() : key;
    m_shown = none ? QString() : describe(key);
    // A key whose record is gone still shows, so that it can be seen and replaced.
    if (!none && m_shown.isEmpty())
        m_shown = QStringLiteral("<已删除的记录 %1>").arg(key.toString());
    m_edit->setText(m_shown);
}

QString LookupField::text() const { return m_edit->text(); }

void LookupField::setReadOnly(bool readOnly)
{
    m_edit->setReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

jx::Result<QVariant> LookupField::resolve(bool *databaseFailed) const
{
    if (databaseFailed)
        *databaseFailed = false;
    // The database could not answer: the caller keeps the form and says so.
    auto failed = [&](const QString &failure) {
        if (databaseFailed)
            *databaseFailed = true;
        return jx::fail(failure);
    };
    const QString typed = m_edit->text().trimmed();
    if (typed.isEmpty())
        return QVariant();
    QVariant candidate;
    if (m_key.isValid() && typed == m_shown.trimmed()) {
        candidate = m_key;
    } else {
        // The code first, in any letter case; then anything that names one record.
        const auto exact =
            m_link.select(QStringLiteral("select %1 from %2 where lower(%3)=lower(?)").arg(m_def.key, m_def.table, m_def.shown.first()), {typed});
        if (!exact)
            return failed(exact.error());
        if (exact->rows.size() == 1) {
            candidate = exact->rows.first().value(0);
        } else {
            const auto rows = search(typed, 2);
            if (!rows)
                return failed(rows.error());
            if (rows->isEmpty())
                return jx::fail(QStringLiteral("没有找到“%1”，请按 F4 从列表中选择").arg(typed));
            if (rows->size() > 1 || exact->rows.size() > 1)
                return jx::fail(QStringLiteral("“%1”对应多条记录，请按 F4 从列表中选择").arg(typed));
            candidate = rows->first().value(0);
        }
    }
    // The record may have been deleted since it was chosen.
    const auto count = m_link.scalar(QStringLiteral("select count(*) from %1 where %2=?").arg(m_def.table, m_def.key), {candidate});
    if (!count)
        return failed(count.error());
    if (count->toInt() == 0)
        return jx::fail(QStringLiteral("所选的记录已不存在（可能已被删除），请重新选择"));
    return candidate;
}

bool LookupField::choose()
{
    LookupDialog dialog(*this, window());
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenKey().isValid())
        return false;
    take(dialog.chosenKey(), dialog.chosenText());
    m_edit->setFocus();
    return true;
}

} // namespace jxedit
