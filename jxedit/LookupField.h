#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QVariant>
#include <QWidget>

class QCompleter;
class QLineEdit;
class QStandardItemModel;
class QToolButton;

namespace jxedit {

/// A field that names a record of another table. It shows the record by its
/// fields (a listing by code and community, a customer by name and phone),
/// completes as the user types a code or a name, offers a search list (F4 or
/// the button) and hands back the record's key: users never type row numbers.
class LookupField final : public QWidget
{
    Q_OBJECT
public:
    LookupField(DataLink link, LookupDef def, QWidget *parent = nullptr);

    QLineEdit *edit() const { return m_edit; }
    QToolButton *button() const { return m_button; }
    const LookupDef &definition() const { return m_def; }

    /// Shows the record with this key; a null key empties the field.
    void setKey(const QVariant &key);
    /// The text shown for a record, empty when there is none with this key.
    QString describe(const QVariant &key) const;
    QString text() const;
    void setReadOnly(bool readOnly);

    /// The key the field names now: the record chosen, or the one record whose
    /// code matches the text in any letter case, or the one whose shown fields
    /// contain it. A null key for an empty field. Fails with the reason when
    /// the text names no record, several, or one deleted meanwhile;
    /// `databaseFailed` tells a database that could not answer from those.
    jx::Result<QVariant> resolve(bool *databaseFailed = nullptr) const;

    /// Up to `limit` records whose shown fields contain `text`, codes
    /// starting with it first: rows of key then the shown fields.
    jx::Result<QVector<QVector<QVariant>>> search(const QString &text, int limit) const;
    /// The shown text of one row of search().
    static QString joinShown(const LookupDef &def, const QVector<QVariant> &row);

    /// Opens the search list; true when a record was chosen.
    bool choose();
    /// Lets go of the database: the control that owns the field is going,
    /// while the widget may live on until the event loop deletes it.
    void detach() { m_link = DataLink(); }

signals:
    void chosen(const QVariant &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void complete(const QString &typed);
    void take(const QVariant &key, const QString &shown);

    DataLink m_link;
    LookupDef m_def;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QCompleter *m_completer;
    QStandardItemModel *m_suggestions;
    QVariant m_key;
    QString m_shown; // the text of m_key as it was shown
};

} // namespace jxedit
