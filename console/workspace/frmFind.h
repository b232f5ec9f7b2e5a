#pragma once

#include "console/workspace/MenuSearch.h"

#include <QDialog>
#include <QFutureWatcher>

#include <functional>
#include <memory>

namespace Ui {
class frmFind;
}

namespace jx {

class ConsoleSession;

// The search box over every menu entry the user may open (Ctrl+K in the
// main window): typed text narrows the list at once, arrows choose, Enter
// opens through the caller. Pinyin keys are worked out in the background
// the first time, so the box never waits for them.
class frmFind final : public QDialog
{
    Q_OBJECT
public:
    frmFind(MenuSearch search, QStringList recent, QWidget *parent = nullptr);
    ~frmFind() override;

    // Opens the box (modeless, deleted when closed) over the entries the
    // session's user may open, his recent ones first; the chosen entry is
    // noted as recent and handed to `open`. Without a database nothing
    // opens; entries that cannot be read are reported.
    static void openFor(ConsoleSession &session, QWidget *owner, std::function<void(const QString &code)> open);

    // The code of the entry chosen with Enter or a double click; empty
    // while none was.
    QString chosenCode() const { return m_chosen; }
    // True once the pinyin keys are in; for callers that must not race them.
    bool spelled() const { return m_spelled; }

    static constexpr int kShown = 30;

signals:
    void entryChosen(const QString &code);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void choose();

    std::unique_ptr<Ui::frmFind> ui;
    MenuSearch m_search;
    QStringList m_recent;
    QFutureWatcher<std::vector<MenuSearch::Entry>> m_spelling;
    QString m_chosen;
    bool m_spelled = false;
};

} // namespace jx
