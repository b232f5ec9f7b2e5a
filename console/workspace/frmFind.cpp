#include "console/workspace/frmFind.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/PinyinSpeller.h"

#include "platform/MessageBox.h"

#include "ui_frmFind.h"

#include <QKeyEvent>
#include <QtConcurrent/QtConcurrentRun>

namespace jx {

void frmFind::openFor(ConsoleSession &session, QWidget *owner, std::function<void(const QString &code)> open)
{
    ::AppContext *context = session.AppContext();
    ::Database *db = context ? context->Database() : nullptr;
    if (!db)
        return;
    MenuSearch search;
    if (const auto loaded = search.load(*db, context); !loaded) {
        const QString why = loaded.error();
        try {
            WriteLog(why, LogError);
        } catch (const std::exception &e) {
            Logger::WriteSwallowed(why, e);
        }
        msgBox(why, Critical, QStringLiteral("错误"));
        return;
    }
    const QString app = session.Config() ? session.Config()->Caption() : QString();
    const QString user = session.CurrentUser() ? session.CurrentUser()->UserName() : QString();
    auto *box = new frmFind(std::move(search), MenuSearch::recentCodes(app, user), owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &frmFind::entryChosen, owner, [app, user, open = std::move(open)](const QString &code) {
        try {
            MenuSearch::noteOpened(app, user, code);
        } catch (const std::exception &e) {
            Logger::WriteSwallowed(QStringLiteral("记录最近打开的功能"), e);
        }
        open(code);
    });
    box->open();
}

frmFind::frmFind(MenuSearch search, QStringList recent, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmFind>()), m_search(std::move(search)), m_recent(std::move(recent))
{
    ui->setupUi(this);
    ui->txtFind->installEventFilter(this);
    connect(ui->txtFind, &QLineEdit::textChanged, this, &frmFind::refresh);
    connect(ui->lstFound, &QListWidget::itemActivated, this, &frmFind::choose);
    connect(&m_spelling, &QFutureWatcherBase::finished, this, [this] {
        m_search.setEntries(m_spelling.result());
        m_spelled = true;
        refresh();
    });
    // The background task works on its own copy and its own speller: the
    // box may close before it ends.
    m_spelling.setFuture(QtConcurrent::run([entries = m_search.entries()]() mutable {
        const PinyinSpeller speller;
        MenuSearch::spell(entries, speller);
        return entries;
    }));
    refresh();
}

frmFind::~frmFind()
{
    m_spelling.disconnect(this);
    m_spelling.waitForFinished();
}

void frmFind::refresh()
{
    const QString previous = ui->lstFound->currentItem() ? ui->lstFound->currentItem()->data(Qt::UserRole).toString()
                                                          : QString();
    ui->lstFound->clear();
    int current = 0;
    for (const MenuSearch::Entry *e : m_search.find(ui->txtFind->text(), m_recent, kShown)) {
        auto *item = new QListWidgetItem(e->name + QStringLiteral("　") + e->code, ui->lstFound);
        item->setData(Qt::UserRole, e->code);
        if (e->code == previous)
            current = ui->lstFound->count() - 1;
    }
    if (ui->lstFound->count() > 0)
        ui->lstFound->setCurrentRow(ui->txtFind->text().isEmpty() ? 0 : current);
    else if (!ui->txtFind->text().trimmed().isEmpty())
        ui->lstFound->addItem(QStringLiteral("没有找到“%1”").arg(ui->txtFind->text().trimmed()));
}

void frmFind::choose()
{
    const QListWidgetItem *item = ui->lstFound->currentItem();
    const QString code = item ? item->data(Qt::UserRole).toString() : QString();
    if (code.isEmpty())
        return;
    m_chosen = code;
    accept();
    emit entryChosen(code);
}

bool frmFind::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->txtFind && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int rows = ui->lstFound->count();
        const int row = ui->lstFound->currentRow();
        int next = -1;
        switch (key->key()) {
        case Qt::Key_Down:
            next = std::min(row + 1, rows - 1);
            break;
        case Qt::Key_Up:
            next = std::max(row - 1, 0);
            break;
        case Qt::Key_PageDown:
            next = std::min(row + 10, rows - 1);
            break;
        case Qt::Key_PageUp:
            next = std::max(row - 10, 0);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose();
            return true;
        default:
            return QDialog::eventFilter(watched, event);
        }
        if (rows > 0)
            ui->lstFound->setCurrentRow(next);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace jx
