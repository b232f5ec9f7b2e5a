#include "jxedit/LookupDialog.h"

#include "jxedit/LookupField.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace jxedit {

namespace {
constexpr int kShownRows = 200;
constexpr int kKeyRole = Qt::UserRole + 1;
} // namespace

LookupDialog::LookupDialog(const LookupField &field, QWidget *parent)
    : QDialog(parent), m_field(field), m_search(new QLineEdit(this)), m_view(new QTableView(this)), m_rows(new QStandardItemModel(this))
{
    setWindowTitle(QStringLiteral("选择记录"));
    setAccessibleName(windowTitle());
    resize(560, 420);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("查找(&F)："), this);
    label->setBuddy(m_search);
    layout->addWidget(label);
    m_search->setObjectName(QStringLiteral("lookupSearch"));
    m_search->setAccessibleName(QStringLiteral("查找"));
    m_search->setClearButtonEnabled(true);
    m_search->setText(field.text().trimmed());
    layout->addWidget(m_search);
    m_view->setObjectName(QStringLiteral("lookupList"));
    m_view->setAccessibleName(QStringLiteral("记录"));
    m_view->setModel(m_rows);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_view, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_search, &QLineEdit::textChanged, this, &LookupDialog::refill);
    connect(m_view, &QTableView::doubleClicked, this, &QDialog::accept);
    // Arrow keys in the search box move through the list.
    m_search->installEventFilter(this);
    refill();
    m_search->setFocus();
}

void LookupDialog::refill()
{
    m_rows->clear();
    QStringList header{QStringLiteral("记录")};
    m_rows->setHorizontalHeaderLabels(header);
    const auto rows = m_field.search(m_search->text(), kShownRows);
    if (!rows) {
        m_rows->appendRow(new QStandardItem(QStringLiteral("查找出错：%1").arg(rows.error())));
        return;
    }
    for (const QVector<QVariant> &row : *rows) {
        auto *item = new QStandardItem(LookupField::joinShown(m_field.definition(), row));
        item->setData(row.value(0), kKeyRole);
        m_rows->appendRow(item);
    }
    if (!rows->isEmpty())
        m_view->selectRow(0);
}

bool LookupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_view, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LookupDialog::accept()
{
    const QModelIndex current = m_view->currentIndex();
    const QVariant key = current.isValid() ? current.siblingAtColumn(0).data(kKeyRole) : QVariant();
    if (!key.isValid())
        return; // nothing chosen yet: the list stays open
    m_key = key;
    m_text = current.siblingAtColumn(0).data(Qt::DisplayRole).toString();
    QDialog::accept();
}

} // namespace jxedit
