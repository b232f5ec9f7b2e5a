#pragma once

#include <QMainWindow>

class QFrame;
class QLabel;

namespace jx {

// The main window shell: caption from the configuration, the three panels as
// empty frames and the status link label. Closing it shuts the program down.
class frmMain final : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

    // Reads the caption and builds the panels.
    void LoadForm();
    void SetStatusText(const QString &text);
    QString StatusText() const;

    QLabel *lnkMessage() const { return m_lnkMessage; }
    QFrame *NavigationPanel() const { return m_navigation; }
    QFrame *WorkArea() const { return m_workArea; }
    QFrame *TitlePanel() const { return m_title; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QFrame *m_title = nullptr;
    QFrame *m_navigation = nullptr;
    QFrame *m_workArea = nullptr;
    QLabel *m_lnkMessage = nullptr;
    bool m_shutDown = false;
};

} // namespace jx
