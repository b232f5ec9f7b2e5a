#include "console/workspace/PageFunctions.h"

#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/workspace/FunctionControls.h"
#include "console/workspace/MenuKind.h"
#include "console/workspace/TabPages.h"

#include "controls/ControlContainer.h"
#include "controls/Panel.h"
#include "platform/widgets/Ui.h"
#include "platform/com/Bstr.h"
#include "platform/com/LateBound.h"

#include <QScopeGuard>
#include <QWidget>

#include <vector>

namespace jx {

namespace {
bool isFunction(const QString &name)
{
    return name.startsWith(QStringLiteral("edit"), Qt::CaseInsensitive);
}
} // namespace

PageFunctions::PageFunctions(ConsoleSession &session, qvcontrols::ControlContainer &controls)
    : m_session(session), m_controls(controls)
{
}

qvcontrols::ControlSite *PageFunctions::current() const
{
    return m_current.isEmpty() ? nullptr : m_controls.Item(m_current);
}

bool PageFunctions::makeCurrent(int page)
{
    const QString name = TabPages::controlName(page);
    if (!m_controls.Item(name))
        return false;
    m_current = name;
    return true;
}

bool PageFunctions::start(qvcontrols::Panel *page, int pageNumber, int32_t programNumber, int32_t kind,
                          const QString &menuName)
{
    const QString progId = FunctionControls::ClassFor(kind);
    if (progId.isEmpty())
        return false;
    const QString name = TabPages::controlName(pageNumber);
    qvcontrols::ControlSite *site = m_controls.Add(progId, name, page);
    m_current = name;
    com::ComPtr<IDispatch> control(site->object());
    com::ComPtr<IDispatch> context(m_session.AppContext());
    com::ComPtr<IDispatch> config(m_session.Config());
    int16_t zero = 0;
    BSTR caption = com::toBstr(menuName);
    const auto freeCaption = qScopeGuard([&caption] { SysFreeString(caption); });
    std::vector<VARIANT> extra;
    if (MenuKind::takesRecord(kind))
        extra = {com::byRef(&zero)};
    else if (MenuKind::takesCaption(kind))
        extra = {com::byRef(&caption)};
    const bool started = FunctionControls::PyInit(control.get(), context, config, programNumber, extra);
    m_session.TakeBack(context.get(), config.get());
    if (!started)
        WriteLog(QStringLiteral("初始化控件Init()时出错<") + QString::number(programNumber) + QStringLiteral(">"),
                 LogProgress);
    return started;
}

void PageFunctions::show(int pageNumber, const qvcontrols::Panel *page) const
{
    if (qvcontrols::ControlSite *site = m_controls.Item(TabPages::controlName(pageNumber))) {
        site->Move(0, 0, page->Width(), page->Height());
        if (site->widget())
            site->widget()->show();
    }
}

void PageFunctions::fit(int pageNumber, qvcontrols::Panel *page) const
{
    qvcontrols::ControlSite *site = m_controls.Item(TabPages::controlName(pageNumber));
    if (!site || !page)
        return;
    site->Move(0, 0, pixelsToTwips(page->width()), pixelsToTwips(page->height()));
    page->update();
    if (page->isVisible()) {
        page->setFocus();
        if (site->widget())
            site->widget()->setFocus();
    }
}

void PageFunctions::close(int pageNumber)
{
    const QString name = TabPages::controlName(pageNumber);
    qvcontrols::ControlSite *site = m_controls.Item(name);
    if (!site)
        return;
    com::ComPtr<IDispatch> object(site->object());
    com::call(object.get(), QStringLiteral("Clear"));
    m_controls.Remove(name);
    if (m_current.compare(name, Qt::CaseInsensitive) == 0)
        m_current.clear();
}

void PageFunctions::closeAll()
{
    for (const QString &name : m_controls.Names()) {
        if (!isFunction(name))
            continue;
        if (qvcontrols::ControlSite *site = m_controls.Item(name)) {
            com::ComPtr<IDispatch> object(site->object());
            com::call(object.get(), QStringLiteral("Clear"));
        }
        m_controls.Remove(name);
    }
    m_current.clear();
}

bool PageFunctions::mayClose() const
{
    for (const QString &name : m_controls.Names()) {
        if (!isFunction(name))
            continue;
        // An earlier one may have closed its tab while it asked.
        if (qvcontrols::ControlSite *site = m_controls.Item(name); site && !FunctionControls::QueryClose(site->object()))
            return false;
    }
    return true;
}

} // namespace jx
