#include "controls/ControlObject.h"

#include "controls/TwipsGeometry.h"

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
    QPointer<QWidget> w = widget;
    // The control's own properties (those of QWidget itself are pixels and
    // would shadow the twips members below, names being case-insensitive).
    const QMetaObject *meta = widget->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty prop = meta->property(i);
        com::DispSetter setter;
        if (prop.isWritable()) {
            setter = [w, prop](const com::DispArgs &, const VARIANT &value) {
                if (w)
                    prop.write(w.data(), com::toQVariant(value));
            };
        }
        members().add(QString::fromLatin1(prop.name()), [w, prop](const com::DispArgs &) {
            return w ? com::Variant::fromQVariant(prop.read(w.data())) : com::Variant();
        }, setter);
    }
    members().add(QStringLiteral("Visible"), [w](const com::DispArgs &) {
        return com::Variant::fromBool(w && w->isVisible());
    }, [w](const com::DispArgs &, const VARIANT &value) {
        if (w)
            w->setVisible(com::toQVariant(value).toBool());
    });

    // Geometry in twips, through the control's own twips when it has them.
    auto *own = dynamic_cast<TwipsGeometry *>(widget);
    const auto current = [w, own](int axis) {
        if (own)
            return axis == 0 ? own->Left() : axis == 1 ? own->Top() : axis == 2 ? own->Width() : own->Height();
        const QRect g = w->geometry();
        return TwipsGeometry::toTwips(axis == 0 ? g.x() : axis == 1 ? g.y() : axis == 2 ? g.width() : g.height());
    };
    const auto move = [w, own, current](int left, int top, int width, int height) {
        if (own)
            own->Move(left, top, width, height);
        else
            TwipsGeometry::moveTwips(w.data(), left, top, width < 0 ? current(2) : width, height < 0 ? current(3) : height);
    };
    const QString names[] = {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Width"), QStringLiteral("Height")};
    for (int axis = 0; axis < 4; ++axis) {
        members().add(names[axis], [w, axis, current](const com::DispArgs &) {
            return com::Variant::fromInt32(w ? current(axis) : 0);
        }, [w, axis, current, move](const com::DispArgs &, const VARIANT &value) {
            if (!w)
                return;
            int g[4] = {current(0), current(1), current(2), current(3)};
            g[axis] = com::toQVariant(value).toInt();
            move(g[0], g[1], g[2], g[3]);
        });
    }
    // Move(left[, top[, width[, height]]]), as the console moves controls.
    members().add(QStringLiteral("Move"), [w, current, move](const com::DispArgs &a) {
        if (!w || a.empty())
            return com::Variant();
        const auto arg = [&a](size_t i, int fallback) { return i < a.size() ? com::toQVariant(*a[i]).toInt() : fallback; };
        move(arg(0, 0), arg(1, current(1)), arg(2, -1), arg(3, -1));
        return com::Variant();
    });
    // ZOrder([position]): 0 to the front, 1 to the back.
    members().add(QStringLiteral("ZOrder"), [w](const com::DispArgs &a) {
        if (w) {
            if (!a.empty() && com::toQVariant(*a[0]).toInt() == 1)
                w->lower();
            else
                w->raise();
        }
        return com::Variant();
    });
}

} // namespace qvcontrols
