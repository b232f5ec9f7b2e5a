#include "components/controls/ControlObject.h"

#include "components/controls/TwipsGeometry.h"

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"

#include <QMetaProperty>

namespace qvcontrols {

ControlObject::ControlObject() = default;

ControlObject::~ControlObject()
{
    if (QWidget *w = m_widget.data()) {
        // Nothing of the widget may call back into this object any more.
        QObject::disconnect(w, nullptr, w, nullptr);
        if (w->parentWidget()) {
            // The host may be inside one of the widget's own handlers.
            w->hide();
            w->deleteLater();
        } else {
            delete w;
        }
    }
}

void *ControlObject::queryExtra(REFIID riid)
{
    if (riid == IID_IQvControl)
        return static_cast<IQvControl *>(this);
    return nullptr;
}

HRESULT ControlObject::GetWidget(QWidget *parent, QWidget **widget)
{
    if (!widget)
        return E_POINTER;
    *widget = nullptr;
    if (!m_widget)
        return E_UNEXPECTED;
    if (m_widget->parentWidget() != parent)
        m_widget->setParent(parent);
    *widget = m_widget.data();
    return S_OK;
}

HRESULT ControlObject::Advise(IQvEventSink *sink)
{
    m_sink = com::ComPtr<IQvEventSink>(sink);
    return S_OK;
}

void ControlObject::raiseEvent(const QString &name, std::vector<com::Variant> params)
{
    // Held for the call: the host may disconnect or drop us while handling it.
    const com::ComPtr<IQvEventSink> sink = m_sink;
    if (!sink)
        return;
    AddRef();
    BSTR bname = com::toBstr(name);
    std::vector<VARIANT> raw(params.size());
    for (size_t i = 0; i < params.size(); ++i)
        raw[i] = params[i];
    const HRESULT hr = sink->OnEvent(bname, static_cast<uint32_t>(raw.size()), raw.empty() ? nullptr : raw.data());
    // A by-reference write replaces the value in `raw`; keep params owning it.
    for (size_t i = 0; i < params.size(); ++i)
        static_cast<VARIANT &>(params[i]) = raw[i];
    SysFreeString(bname);
    Release();
    com::throwIfFailed(hr, name);
}

void ControlObject::raiseEvent(const QString &name, const QVariantList &params)
{
    std::vector<com::Variant> args;
    args.reserve(params.size());
    for (const QVariant &v : params)
        args.push_back(com::Variant::fromQVariant(v));
    raiseEvent(name, std::move(args));
}

void ControlObject::setWidget(QWidget *widget)
{
    m_widget = widget;
    const QMetaObject *meta = widget->metaObject();
    for (int i = QWidget::staticMetaObject.propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty prop = meta->property(i);
        const QString name = QString::fromLatin1(prop.name());
        QPointer<QWidget> w = widget;
        com::DispSetter setter;
        if (prop.isWritable()) {
            setter = [w, prop](const com::DispArgs &, const VARIANT &value) {
                if (w)
                    prop.write(w.data(), com::toQVariant(value));
            };
        }
        members().add(name, [w, prop](const com::DispArgs &) {
            return w ? com::Variant::fromQVariant(prop.read(w.data())) : com::Variant();
        }, setter);
    }
    QPointer<QWidget> w = widget;
    members().add(QStringLiteral("Visible"), [w](const com::DispArgs &) {
        return com::Variant::fromBool(w && w->isVisible());
    }, [w](const com::DispArgs &, const VARIANT &value) {
        if (w)
            w->setVisible(com::toQVariant(value).toBool());
    });
    // Geometry in twips, through the control's own twips when it has them.
    auto *geometry = dynamic_cast<TwipsGeometry *>(widget);
    const auto arg = [](const com::DispArgs &a, size_t i, int fallback) {
        return i < a.size() ? com::toQVariant(*a[i]).toInt() : fallback;
    };
    members().add(QStringLiteral("Move"), [w, geometry, arg](const com::DispArgs &a) {
        if (!w || a.empty())
            return com::Variant();
        if (geometry) {
            geometry->Move(arg(a, 0, 0), arg(a, 1, geometry->Top()), arg(a, 2, -1), arg(a, 3, -1));
        } else {
            TwipsGeometry::moveTwips(w.data(), arg(a, 0, 0), arg(a, 1, TwipsGeometry::toTwips(w->y())),
                                     arg(a, 2, TwipsGeometry::toTwips(w->width())),
                                     arg(a, 3, TwipsGeometry::toTwips(w->height())));
        }
        return com::Variant();
    });
}

} // namespace qvcontrols
