#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "jxedit/SavedSearches.h"
#include "jxedit/SearchCondition.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;

namespace jxedit {

/// The search fields of a list, made from its definition: from/to for number
/// and date columns, check boxes (or a check list when there are many) for
/// choice and link columns, "contains" for text columns; and the user's saved
/// searches of the program. Enter searches, Escape collapses the panel.
class SearchPanel final : public QWidget
{
    Q_OBJECT
public:
    explicit SearchPanel(QWidget *parent = nullptr);

    /// Builds the fields; the choices of link columns are read from their tables.
    void setup(const DataLink &link, const QVector<ColumnDef> &columns, const QString &user, int progId);

    SearchCondition condition() const;
    void setCondition(const SearchCondition &condition);
    void clearFields();
    /// The condition in force (what the last search applied).
    const SearchCondition &applied() const { return m_applied; }
    /// Checks the fields and, when they can be read, applies them (searchRequested).
    bool search();

    /// Keeps the fields under `name`; a name in use is replaced only when the
    /// user agrees. False with the reason shown in the panel.
    bool saveAs(const QString &name);
    /// Fills the fields from a kept search and applies it.
    bool choose(const QString &name);
    bool removeSaved(const QString &name);
    QStringList savedNames() const;

    /// The condition in force in a line ("区域：滨江区；售价(万元)：200 至 400"), for
    /// while the panel is collapsed; empty when none.
    QString appliedText() const;

    /// The last message of the panel (a refusal or what was left out).
    QString message() const;
    void focusFirstField();

signals:
    /// The fields were read: `where` over the output columns (empty: none).
    void searchRequested(const QString &where, const QVariantList &params);
    void collapseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Field
    {
        ColumnDef column;
        SearchTerm::Kind kind = SearchTerm::Kind::Text;
        QLineEdit *from = nullptr, *to = nullptr, *text = nullptr;
        QVector<QCheckBox *> boxes;
        QListWidget *list = nullptr;
    };
    void addField(const DataLink &link, const ColumnDef &column, SearchTerm::Kind kind, int &row, int &slot);
    QLineEdit *lineEdit(const QString &name, const QString &accessible, const QString &placeholder);
    // The editors of one field, which `label` is made the buddy of.
    QWidget *rangeEditor(Field &field, QLabel *label);
    QWidget *choiceEditor(const DataLink &link, Field &field, QLabel *label);
    void showMessage(const QString &text, bool error);
    void refreshSaved(const QString &current = QString());
    void saveInteractively();
    void removeInteractively();

    QVector<ColumnDef> m_columns;
    QVector<Field> m_fields;
    SavedSearches m_saved;
    SearchCondition m_applied;
    QGridLayout *m_grid;
    QComboBox *m_savedList;
    QLabel *m_message;
    QVector<QWidget *> m_commands; // the buttons and the saved list, in their order
};

} // namespace jxedit
