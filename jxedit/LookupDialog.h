#pragma once

#include <QDialog>
#include <QVariant>

class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace jxedit {

class LookupField;

/// The search list of a link field: the records whose shown fields contain
/// what is typed, chosen with Enter or a double-click.
class LookupDialog final : public QDialog
{
    Q_OBJECT
public:
    LookupDialog(const LookupField &field, QWidget *parent = nullptr);

    QLineEdit *searchBox() const { return m_search; }
    QTableView *view() const { return m_view; }
    QVariant chosenKey() const { return m_key; }
    QString chosenText() const { return m_text; }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refill();

    const LookupField &m_field;
    QLineEdit *m_search;
    QTableView *m_view;
    QStandardItemModel *m_rows;
    QVariant m_key;
    QString m_text;
};

} // namespace jxedit
