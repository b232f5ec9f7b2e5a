// A function control the container tests create by class name from this
// library: Py_Init raises its events while it runs, as function controls do.

#include "controls/ControlObject.h"

#include "platform/com/ServerModule.h"

#include <QLabel>

QV_TYPE_LIBRARY("library qvTestCtl 1.0 {7D2E3F40-1A2B-4C3D-9E8F-112233445566}\n"
                "interface _Probe {7D2E3F41-1A2B-4C3D-9E8F-112233445566}\n"
                "coclass Probe {7D2E3F42-1A2B-4C3D-9E8F-112233445566}\n"
                "  implements _Probe {7D2E3F41-1A2B-4C3D-9E8F-112233445566}\n");

namespace {

const CLSID kProbe = com::guid("{7D2E3F42-1A2B-4C3D-9E8F-112233445566}");

class Probe final : public qvcontrols::ControlObject
{
public:
    Probe()
    {
        setWidget(new QLabel(QStringLiteral("probe")));
        // Py_Init(context, configuration, program number, closeWhileStarting)
        members().add(QStringLiteral("Py_Init"), [this](const com::DispArgs &a) {
            const int32_t number = a.size() > 2 ? com::toQVariant(*a[2]).toInt() : 0;
            m_log << QStringLiteral("init-begin");
            raiseEvent(QStringLiteral("message"), {com::Variant::fromString(QStringLiteral("正在启动"))});
            raiseEvent(QStringLiteral("errmessage"), {com::Variant::fromString(QStringLiteral("m")),
                                                      com::Variant::fromInt32(8),
                                                      com::Variant::fromString(QStringLiteral("src"))});
            raiseEvent(QStringLiteral("detaile"), {com::Variant::fromInt32(number), com::Variant::fromString(QStringLiteral("42"))});
            if (a.size() > 3 && com::toQVariant(*a[3]).toBool())
                raiseEvent(QStringLiteral("unload"), {com::Variant::fromBool(true)});
            m_log << QStringLiteral("init-end");
            return com::Variant::fromBool(true);
        });
        members().add(QStringLiteral("Clear"), [this](const com::DispArgs &) {
            m_log << QStringLiteral("clear");
            return com::Variant();
        });
        members().add(QStringLiteral("Log"), [this](const com::DispArgs &) {
            return com::Variant::fromString(m_log.join(QLatin1Char(',')));
        });
    }

private:
    QStringList m_log;
};

const com::ServedClass kServedClasses[] = {com::servedClass<Probe>(kProbe)};

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
