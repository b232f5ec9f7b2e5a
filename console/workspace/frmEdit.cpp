#include "console/workspace/frmEdit.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/CommandLineArgs.h"
#include "console/workspace/EventTable.h"
#include "console/workspace/MenuKind.h"
#include "console/workspace/FunctionControls.h"
#include "console/workspace/MenuQueries.h"
#include "console/workspace/PaneCycler.h"
#include "console/workspace/ParameterSet.h"

#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/StatusPanel.h"
#include "components/data/Database.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/widgets/Ui.h"
#include "platform/com/LateBound.h"
#include "platform/ErrorText.h"

#include <QCloseEvent>
#include <QLocale>

namespace jx {

namespace {
// The window's design size.
constexpr int kDesignWidth = 9600;
constexpr int kDesignHeight = 7200;
} // namespace

frmEdit::frmEdit(ConsoleSession &session, QWidget *owner)
    : QWidget(owner, Qt::Window), m_session(session), m_owner(owner), m_widthTwips(kDesignWidth),
      m_heightTwips(kDesignHeight)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("录入单"));
    m_picHolder = new qvcontrols::Panel(this);
    m_picHolder->setObjectName(QStringLiteral("picHolder"));
    m_statusBar = new qvcontrols::StatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->Add(QStringLiteral("msg"));
    m_statusBar->Add(QStringLiteral("period"), QString(), 2400);
    m_statusBar->Add(QStringLiteral("date"), QString(), 1800);
    m_statusBar->Add(QStringLiteral("user"), QString(), 1800);
    m_controls.setHandler([this](qvcontrols::ControlSite &site, const QString &event, const com::DispArgs &params) {
        EventTable::Handle(*this, site.name(), event, params);
    });
    resize(twipsToPixels(QSize(m_widthTwips, m_heightTwips)));
    installPaneKeys();
}

frmEdit::~frmEdit()
{
    // Deleted with its owner, say when the console ends another way than
    // through the main window's close: the control still gets its Clear.
    releaseControl();
}

QWidget *frmEdit::commandBar() const
{
    // A control that offers a command bar shows it as a toolbar of its own.
    for (QWidget *w : m_picHolder->findChildren<QWidget *>()) {
        if (w->inherits("qvtoolbar::NavToolbar") && w->isVisible())
            return w;
    }
    return nullptr;
}

void frmEdit::installPaneKeys()
{
    new PaneCycler(this, {[this] { return PaneCycler::Pane{commandBar(), nullptr}; },
                          [this] { return PaneCycler::Pane{m_picHolder, commandBar()}; }});
}

int frmEdit::WidthTwips() const
{
    return m_widthTwips;
}

int frmEdit::HeightTwips() const
{
    return m_heightTwips;
}

void frmEdit::SetStatus(const QString &text, int panel)
{
    try {
        switch (panel) {
        case 0: {
            QString shown = text;
            if (shown.isEmpty())
                shown = m_session.AppContext()
                    ? m_session.AppContext()->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/wait"),
                                                      QStringLiteral("Ready..."))
                    : QStringLiteral("Ready...");
            m_statusBar->Panel(QStringLiteral("msg"))->setText(shown);
            break;
        }
        case 1:
            m_statusBar->Panel(QStringLiteral("date"))->setText(text);
            break;
        case 2:
            m_statusBar->Panel(QStringLiteral("user"))->setText(text);
            break;
        case 3: {
            const QString label = m_session.AppContext()
                ? m_session.AppContext()->GetText(QStringLiteral("main"), QStringLiteral("/mdimain/statusbar/period"),
                                                  QStringLiteral("会计期间"))
                : QStringLiteral("会计期间");
            m_statusBar->Panel(QStringLiteral("period"))->setText(label + QStringLiteral("：") + text);
            break;
        }
        default:
            return;
        }
        m_statusBar->repaint();
    } catch (const std::exception &) {
    }
}

bool frmEdit::Py_Init(int32_t plCzid, const QString &psCaption, int32_t plCatalog, const com::Variant &plID,
                      IDispatch *pcParameter, int16_t plType)
{
    SetStatus(QStringLiteral("正在加载窗体 -->") + psCaption, 0);
    m_programNumber = plCzid;
    m_caption = psCaption;
    m_kind = plCatalog;
    m_data = plID;
    m_mode = plType;
    m_parameter = com::ComPtr<IDispatch>(pcParameter);
    setWindowTitle(psCaption);

    const bool result = LoadControl(plCzid, plCatalog);
    if (m_unloadRequested) {
        Unload();
        return result;
    }
    ::AppContext *context = m_session.AppContext();
    ::Database *db = context ? context->Database() : nullptr;
    // Each panel on its own: one that fails leaves the others.
    try {
        if (context)
            SetStatus(QLocale::system().toString(context->Environment().OperationDate(), QLocale::ShortFormat), 1);
    } catch (const std::exception &) {
    }
    try {
        if (context)
            SetStatus(context->Environment().UserName(), 2);
    } catch (const std::exception &) {
    }
    try {
        if (db && context) {
            const QString systemCode = toText(db->Query(MenuQueries::Q10(plCzid), 1).Value());
            const int32_t state = context->SystemState(systemCode, 0).State();
            if (state != 0)
                SetStatus(QString::number(state), 3);
        }
    } catch (const std::exception &) {
    }

    CommandLineArgs args;
    try {
        const QString text = db ? trimBlanks(toText(db->Query(MenuQueries::Q9(plCzid), 1).Value())) : QString();
        if (!text.isEmpty())
            args.Parse(text);
    } catch (const std::exception &) {
    }
    const auto twips = [&args](const char *name) {
        const CommandLineArgs::Switch s = args.Item(QLatin1String(name));
        if (!s.Exists)
            return 0;
        try {
            const double value = val(s.Value);
            return value > 0 && value < 1e7 ? clng(value) : 0;
        } catch (const std::exception &) {
            return 0;
        }
    };
    if (const int w = twips("w"); w > 0)
        m_widthTwips = w;
    if (const int h = twips("h"); h > 0)
        m_heightTwips = h;
    resize(twipsToPixels(QSize(m_widthTwips, m_heightTwips)));
    showModeless(this);
    QPoint at = pos();
    if (const int l = twips("l"); l > 0)
        at.setX(twipsToPixels(l));
    if (const int t = twips("t"); t > 0)
        at.setY(twipsToPixels(t));
    move(at);
    SetStatus(QString(), 0);
    return result;
}

bool frmEdit::LoadControl(int32_t programNumber, int32_t kind)
{
    m_unloadRequested = false;
    const QString progId = FunctionControls::ClassFor(kind);
    if (progId.isEmpty()) {
        msgBox(QStringLiteral("该菜单功能未完成！"), Exclamation, QStringLiteral("提示："));
        m_unloadRequested = true;
        return false;
    }
    try {
        qvcontrols::ControlSite *site = m_controls.Add(progId, QStringLiteral("edit"), m_picHolder);
        com::ComPtr<IDispatch> control(site->object());
        com::ComPtr<IDispatch> context(m_session.AppContext());
        com::ComPtr<IDispatch> config(m_session.Config());
        BSTR caption = com::toBstr(m_caption);
        const bool dataIsText = (m_data.vt & ~VT_BYREF) == VT_BSTR;
        int16_t zero = 0;
        double number = dataIsText ? 0.0 : val(toText(com::toQVariant(m_data)));
        int16_t mode = m_mode;
        IDispatch *parameter = m_parameter.get();
        if (parameter)
            parameter->AddRef();
        std::vector<VARIANT> extra;
        VARIANT numberArg;
        VariantInit(&numberArg);
        numberArg.vt = VT_R8 | VT_BYREF;
        numberArg.pdblVal = &number;
        if (MenuKind::takesRecord(kind))
            extra = {dataIsText ? com::byRef(&zero) : numberArg, com::byRef(&mode)};
        else if (MenuKind::takesCaption(kind))
            extra = {com::byRef(&caption)};
        else if (kind == MenuKind::ReportEntry)
            extra = {com::byRef(&parameter)};
        bool result = false;
        try {
            result = FunctionControls::PyInit(control.get(), context, config, programNumber, extra);
        } catch (...) {
            SysFreeString(caption);
            if (parameter)
                parameter->Release();
            throw;
        }
        SysFreeString(caption);
        m_session.TakeBack(context.get(), config.get());
        // The report-entry control hands its parameter object back.
        if (kind == MenuKind::ReportEntry)
            m_parameter = com::ComPtr<IDispatch>::adopt(parameter);
        else if (parameter)
            parameter->Release();
        if (!result) {
            WriteLog(QStringLiteral("初始化控件Init()时出错<") + QString::number(programNumber) + QStringLiteral(">"),
                     LogProgress);
            return false;
        }
        if (m_unloadRequested)
            return false;
        if (MenuKind::takesRecord(kind) && dataIsText) {
            auto *set = new ParameterSet;
            set->Add(QStringLiteral("sID"), com::toQVariant(m_data), 203);
            com::Variant face = com::Variant::fromDispatch(set);
            set->Release();
            if (qvcontrols::ControlSite *current = m_controls.Item(QStringLiteral("edit")))
                com::put(current->object(), QStringLiteral("sParameters"), face);
        }
        if (qvcontrols::ControlSite *current = m_controls.Item(QStringLiteral("edit"))) {
            SizeControl();
            if (current->widget())
                current->widget()->show();
        }
        return true;
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("加载动态控件时出错:") + errorText(e), LogError);
        return false;
    }
}

void frmEdit::SizeControl()
{
    const int left = 15;
    const int top = 15;
    const QSize inner = pixelsToTwips(size());
    qvcontrols::TwipsGeometry::moveTwips(m_picHolder, left, top, std::max(0, inner.width() - 2 * left),
                                         std::max(0, inner.height() - 2 * top - pixelsToTwips(m_statusBar->sizeHint().height()) - 50));
    m_statusBar->setGeometry(0, height() - m_statusBar->sizeHint().height(), width(), m_statusBar->sizeHint().height());
    if (qvcontrols::ControlSite *site = m_controls.Item(QStringLiteral("edit")))
        site->Move(0, 0, pixelsToTwips(m_picHolder->width()), pixelsToTwips(m_picHolder->height()));
}

void frmEdit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SizeControl();
}

void frmEdit::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_session.AppContext())
        m_session.AppContext()->Theme().Apply(this);
}

void frmEdit::releaseControl()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    try {
        if (qvcontrols::ControlSite *site = m_controls.Item(QStringLiteral("edit"))) {
            com::ComPtr<IDispatch> object(site->object());
            try {
                com::call(object.get(), QStringLiteral("Clear"));
            } catch (const std::exception &) {
            }
            m_controls.Remove(QStringLiteral("edit"));
        }
    } catch (const std::exception &) {
    }
    m_parameter.reset();
}

void frmEdit::Unload()
{
    if (m_unloaded)
        return;
    releaseControl();
    hide();
    deleteLater();
}

bool frmEdit::QueryClose()
{
    if (m_unloaded)
        return true;
    // A second close while the control asks (its box is open) waits for the answer.
    if (m_asking)
        return false;
    qvcontrols::ControlSite *site = m_controls.Item(QStringLiteral("edit"));
    if (!site)
        return true;
    m_asking = true;
    const bool may = FunctionControls::QueryClose(site->object());
    m_asking = false;
    return may;
}

void frmEdit::closeEvent(QCloseEvent *event)
{
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    Unload();
    event->accept();
}

void frmEdit::CloseRequested(const QString &)
{
    m_unloadRequested = true;
    Unload();
}

void frmEdit::OpenFunctionWindow(int32_t programNumber, const com::Variant &data, IDispatch *parameter, int16_t mode)
{
    OpenForProgram(m_session, m_owner, programNumber, data, parameter, mode);
}

bool frmEdit::Open(ConsoleSession &session, QWidget *owner, int32_t programNumber, const QString &caption,
                   int32_t kind, const com::Variant &data, IDispatch *parameter, int16_t mode)
{
    if (!FunctionControls::MayOpen(session.AppContext(), programNumber, kind, caption))
        return false;
    QPointer<frmEdit> window = new frmEdit(session, owner);
    const bool started = window->Py_Init(programNumber, caption, kind, data, parameter, mode);
    if (started && window && !window->isUnloaded()) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        window->raise();
        window->activateWindow();
    }
    return started;
}

void frmEdit::OpenForProgram(ConsoleSession &session, QWidget *owner, int32_t programNumber,
                             const com::Variant &data, IDispatch *parameter, int16_t mode)
{
    ::Database *db = session.AppContext() ? session.AppContext()->Database() : nullptr;
    if (!db)
        throw com::RuntimeError::of(91);
    if (const std::optional<MenuEntry> entry = MenuQueries::lookupEntry(*db, MenuQueries::Q8(programNumber)))
        Open(session, owner, entry->programNumber, entry->name, entry->kind, data, parameter, mode);
}

} // namespace jx
