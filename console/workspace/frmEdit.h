#pragma once

#include "console/workspace/IFunctionHost.h"

#include "controls/ControlContainer.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Variant.h"

#include <QWidget>

#include <cstdint>

namespace qvcontrols {
class Panel;
class StatusBar;
} // namespace qvcontrols

namespace jx {

class ConsoleSession;

// A window of its own for one function control: detail windows requested by
// hosted functions, functions whose command line asks for a window, and the
// alert window. Sized from the function's command line, shown modeless and
// owned by the main window; it deletes itself when it unloads. F6 moves the
// focus between the control's command bar, when it has one, and its body.
class frmEdit final : public QWidget, private IFunctionHost
{
    Q_OBJECT
public:
    frmEdit(ConsoleSession &session, QWidget *owner);
    ~frmEdit() override;

    // Starts the window; true when the function control was loaded and started.
    bool Py_Init(int32_t plCzid, const QString &psCaption, int32_t plCatalog, const com::Variant &plID = {},
                 IDispatch *pcParameter = nullptr, int16_t plType = 0);
    // Panel 0 "msg", 1 "date", 2 "user", 3 "period".
    void SetStatus(const QString &text, int panel);

    // Creates a window for the program and starts it; when the start returns
    // true the window is maximised and brought to the front. The window lives
    // on by itself; the result only says whether it started.
    static bool Open(ConsoleSession &session, QWidget *owner, int32_t programNumber, const QString &caption,
                     int32_t kind, const com::Variant &data, IDispatch *parameter, int16_t mode);
    // The detail request of a hosted control: looks the program up and opens
    // its window, or says that the menu does not exist.
    static void OpenForProgram(ConsoleSession &session, QWidget *owner, int32_t programNumber,
                               const com::Variant &data, IDispatch *parameter, int16_t mode);

    qvcontrols::StatusBar *statusBar() const { return m_statusBar; }
    qvcontrols::Panel *picHolder() const { return m_picHolder; }
    qvcontrols::ControlSite *moControl() const { return m_controls.Item(QStringLiteral("edit")); }
    bool UnloadRequested() const { return m_unloadRequested; }
    // The window's size and position in twips as last set.
    int WidthTwips() const;
    int HeightTwips() const;
    IDispatch *Parameter() const { return m_parameter.get(); }
    bool isUnloaded() const { return m_unloaded; }
    // Asks the window's control whether the window may close now; true when
    // it has no control or is unloaded already, false while it is asking.
    bool QueryClose();
    // Removes the control, releases the parameter object and deletes the window later.
    void Unload();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool LoadControl(int32_t programNumber, int32_t kind);
    QWidget *commandBar() const;
    void installPaneKeys();
    // Clears and removes the control and releases the parameter object, once.
    void releaseControl();
    void SizeControl();

    // IFunctionHost
    bool IsFunctionWindow() const override { return true; }
    void ShowMessage(const QString &text) override { SetStatus(text, 0); }
    void CloseRequested(const QString &sender) override;
    void SetUnloadRequested(bool requested) override { m_unloadRequested = requested; }
    void OpenFunctionWindow(int32_t programNumber, const com::Variant &data, IDispatch *parameter,
                            int16_t mode) override;

    ConsoleSession &m_session;
    QWidget *m_owner;
    qvcontrols::Panel *m_picHolder;
    qvcontrols::StatusBar *m_statusBar;
    qvcontrols::ControlContainer m_controls;
    int32_t m_programNumber = 0;
    QString m_caption;
    int32_t m_kind = 0;
    com::Variant m_data;
    com::ComPtr<IDispatch> m_parameter;
    int16_t m_mode = 0;
    bool m_unloadRequested = false;
    bool m_unloaded = false;
    bool m_asking = false;
    int m_widthTwips;
    int m_heightTwips;
};

} // namespace jx
