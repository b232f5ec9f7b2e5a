#include "console/workspace/frmMain.h"

#include "console/startup/ConsoleSession.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace jx {

frmMain::frmMain(ConsoleSession &session, QWidget *parent) : QMainWindow(parent), m_session(session)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmMain"));
    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    m_title = new QFrame(central);
    m_title->setObjectName(QStringLiteral("Panel_0"));
    m_title->setFrameShape(QFrame::StyledPanel);
    m_title->setMinimumHeight(48);
    m_linkBar = new QFrame(central);
    m_linkBar->setObjectName(QStringLiteral("Panel_1"));
    m_linkBar->setFrameShape(QFrame::StyledPanel);
    m_linkBar->setMinimumHeight(24);
    auto *row = new QHBoxLayout();
    m_navigation = new QFrame(central);
    m_navigation->setObjectName(QStringLiteral("NavigationPanel"));
    m_navigation->setFrameShape(QFrame::StyledPanel);
    m_navigation->setMinimumWidth(180);
    m_workArea = new QFrame(central);
    m_workArea->setObjectName(QStringLiteral("WorkArea"));
    m_workArea->setFrameShape(QFrame::StyledPanel);
    row->addWidget(m_navigation);
    row->addWidget(m_workArea, 1);
    outer->addWidget(m_title);
    outer->addWidget(m_linkBar);
    outer->addLayout(row, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("Panel_2"));
    m_lnkMessage = new QLabel(statusBar());
    m_lnkMessage->setObjectName(QStringLiteral("lnkMessage"));
    statusBar()->addWidget(m_lnkMessage, 1);
}

void frmMain::LoadForm()
{
    if (m_session.Config())
        setWindowTitle(m_session.Config()->Caption());
    // Fill the screen even where no window manager honours the maximised state.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::SetStatusText(const QString &text)
{
    m_lnkMessage->setText(text);
}

QString frmMain::StatusText() const
{
    return m_lnkMessage->text();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_shutDown) {
        m_shutDown = true;
        m_session.Shutdown();
    }
    event->accept();
}

} // namespace jx
