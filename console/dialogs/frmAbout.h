#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class frmAbout;
}

class AppContext;
class QLabel;
class QPushButton;

namespace qvcontrols {
class dLinkLabel;
}

namespace jx {

class clsConfig;

// Shows the program's version, installed edition, program folder, update web
// site, producer, description (with the server's version on SQL Server only) and legal
// notes. Every visible text can be replaced through the interface texts.
class frmAbout final : public QDialog
{
    Q_OBJECT
public:
    frmAbout(AppContext &context, clsConfig &config, QWidget *parent = nullptr);
    ~frmAbout() override;

    // What fitting a path to a width came to.
    struct Fitted
    {
        QString text;   // the fitted text, or the shortest reached when nothing fits
        bool fits = false;
        int steps = 0;  // shortening steps taken
    };
    // Shortens a folder path until `measure` says it is no wider than `width`:
    // the middle folders from the last one backwards lose one character at a
    // time and end as "..", then the final name loses characters from its
    // beginning. The first part is never shortened. Parts are split at "\" when
    // the text holds one, otherwise at "/". `pending` runs after every step.
    // Always ends: every step shortens a part or moves to the next one.
    static Fitted FitPath(const QString &path, int width, const std::function<int(const QString &)> &measure,
                          const std::function<void()> &pending = {});

    // Starts a program; false when it could not be started. Tests replace it.
    using Launcher = std::function<bool(const QString &program)>;
    void setLauncher(Launcher launcher);

    // Folders searched for a well-known system-information program when the
    // registry names none (the PATH variable's folders when empty).
    void setProgramSearchPath(const QStringList &folders);

    // The system-information button: the registered tool, or the message
    // "此时系统信息不可用".
    void ShowSystemInfo();

    QLabel *lblVersion() const;
    QLabel *lblPath() const;
    qvcontrols::dLinkLabel *dlnkPath() const;
    qvcontrols::dLinkLabel *dlnkWeb() const;
    QLabel *lblTitle(int index) const;
    QLabel *lblProduct() const;
    QLabel *lblDescription() const;
    QLabel *lblDisclaimer() const;
    QLabel *ImgLogo() const;
    QPushButton *CmdOK() const;
    QPushButton *cmdInfo() const;

private:
    void LoadForm();
    QString text(const QString &key, const QString &defaultText) const;
    QString serverVersion() const;

    std::unique_ptr<Ui::frmAbout> ui;
    AppContext &m_context;
    clsConfig &m_config;
    Launcher m_launcher;
    QStringList m_searchPath;
};

} // namespace jx
