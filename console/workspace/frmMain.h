#pragma once

#include <QMainWindow>

class QFrame;
class QLabel;

namespace jx {

class ConsoleSession;

// The main window shell: caption from the configuration, title bar, link bar
// and status bar (which holds the status link label), the navigation panel and
// the work area as empty frames. Closing it shuts the session down.
class frmMain final : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(ConsoleSession &session, QWidget *parent = nullptr);

    // Reads the caption and builds the panels.
    void LoadForm();
    void SetStatusText(const QString &text);
    QString StatusText() const;

    QLabel *lnkMessage() const { return m_lnkMessage; }
    QFrame *NavigationPanel() const { return m_navigation; }
    QFrame *WorkArea() const { return m_workArea; }
    QFrame *TitlePanel() const { return m_title; }
    QFrame *LinkBar() const { return m_linkBar; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ConsoleSession &m_session;
    QFrame *m_title = nullptr;
    QFrame *m_linkBar = nullptr;
    QFrame *m_navigation = nullptr;
    QFrame *m_workArea = nullptr;
    QLabel *m_lnkMessage = nullptr;
    bool m_shutDown = false;
};

} // namespace jx
