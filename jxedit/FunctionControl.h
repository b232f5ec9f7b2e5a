#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/Right.h"

#include "controls/ControlObject.h"

#include <QDate>
#include <QHash>

#include <optional>

class QComboBox;
class QLabel;
class QVBoxLayout;
class QAction;

namespace qvtoolbar {
class NavToolbar;
}

namespace jxedit {

/// Base of the function controls: Py_Init with the arguments of both hosts
/// (context, configuration, program number, then what the kind takes), Clear
/// that never fails, the sParameters property, the event protocol, and a page
/// with a command bar and a place for a refusal shown in the control.
class FunctionControl : public qvcontrols::ControlObject
{
public:
    FunctionControl();
    ~FunctionControl() override;

    int progId() const { return m_progId; }
    QWidget *page() const { return m_page; }
    QString errorText() const;

protected:
    /// Called by Py_Init once the context, the database and the program
    /// number are known; `args` are all of Py_Init's arguments. False when the
    /// function cannot start (the reason shown with showError).
    virtual bool start(const com::DispArgs &args) = 0;
    virtual void clear() {}
    /// Asked before the host closes the control: false keeps it open (the
    /// user chose to go on with unsaved work).
    virtual bool queryClose() { return true; }
    /// sParameters was set.
    virtual void parametersChanged() {}

    const DataLink &link() const { return m_link; }
    IDispatch *parameters() const { return m_parameters.get(); }
    IDispatch *context() const { return m_context.get(); }
    /// The value of a named entry of the parameter object; invalid when none.
    QVariant parameter(const QString &name) const;

    QString userName() const;
    /// The agent the signed-in user works as; empty when he is none.
    QString myAgent() const;
    /// Whether the signed-in user holds `right` on `program` (this one by default).
    bool allowed(int right, int program = -1) const;
    /// The text saying which right is missing.
    static QString refusal(int right);
    QDate operationDate() const;
    QString companyName() const;

    QVBoxLayout *body() const { return m_body; }
    qvtoolbar::NavToolbar *commands() const { return m_commands; }
    /// A command: a button of the command bar keyed `name`, with its shortcut
    /// shown in its tip, and an action of the page that carries the shortcut.
    QAction *addCommand(const QString &name, const QString &caption, const QKeySequence &key);
    void showError(const QString &text);
    /// Fills an agent chooser: for the team every agent in service (and `me`;
    /// with `alsoFormer` those who left too, whose past figures still count)
    /// after "全部经纪人"; otherwise `me` alone, disabled, with `onlyOwnTip`.
    /// False, with the reason shown, when the agents cannot be read.
    bool fillAgentChooser(QComboBox *chooser, bool team, const QString &me, const QString &onlyOwnTip, bool alsoFormer = false);
    void hideError();
    /// Shows or hides a command's button.
    void setCommandVisible(const QString &name, bool visible);
    /// Enables a command, or disables it with the reason in its tip.
    void allowCommand(const QString &name, bool allowed, const QString &reason);

    // The events of the protocol, raised to the host.
    void sendMessage(const QString &text);
    void logOperation(const QString &text, int kind = 48);
    void requestUnload();
    void openDetail(int program, const QVariant &key);

private:
    com::ComPtr<IDispatch> m_context;
    com::ComPtr<IDispatch> m_parameters;
    DataLink m_link;
    int m_progId = 0;
    bool m_cleared = false;
    mutable QHash<int, int> m_rights; // program -> mask, read once
    mutable std::optional<QString> m_agent;
    QWidget *m_page;
    QVBoxLayout *m_body;
    qvtoolbar::NavToolbar *m_commands;
    QLabel *m_error;
};

} // namespace jxedit
