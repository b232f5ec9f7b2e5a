#pragma once

#include "controls/TwipsGeometry.h"
#include "platform/com/RuntimeError.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace qvcontrols {

// A control array: element 0 exists at design time; further elements are
// created by index at run time, in the same parent, hidden, with the size and
// position of element 0 and their Index set, and unloaded by index. `T` has
// setIndex(int) and the twips geometry members.
template<typename T>
class ControlArray final
{
public:
    explicit ControlArray(T *element0)
    {
        element0->setIndex(0);
        m_elements[0] = element0;
    }

    // Called with each new element before Load returns (hosts connect events here).
    void setOnLoad(std::function<void(T *)> onLoad) { m_onLoad = std::move(onLoad); }

    T *Load(int index)
    {
        if (index < 0 || index > 32767)
            throw com::RuntimeError(340, source(), QStringLiteral("Control array element '%1' doesn't exist").arg(index));
        if (Item(index))
            throw com::RuntimeError(360, source(), QStringLiteral("Object already loaded"));
        T *first = Item(0);
        if (!first)
            throw com::RuntimeError(340, source(), QStringLiteral("Control array element '0' doesn't exist"));
        auto *element = new T(first->parentWidget());
        element->hide();
        element->setIndex(index);
        element->setFont(first->font());
        // Through the mixin: a control's own names (qvArrow::Left) hide its members.
        const TwipsGeometry &from = *first;
        element->Move(from.Left(), from.Top(), from.Width(), from.Height());
        m_elements[index] = element;
        if (m_onLoad)
            m_onLoad(element);
        return element;
    }

    void Unload(int index)
    {
        if (index == 0)
            throw com::RuntimeError(362, source(), QStringLiteral("Can't unload controls created at design time"));
        const auto it = m_elements.find(index);
        if (it == m_elements.end() || !it->second)
            throw com::RuntimeError(340, source(), QStringLiteral("Control array element '%1' doesn't exist").arg(index));
        T *element = it->second;
        m_elements.erase(it);
        // Later: the element may be inside its own click handler.
        element->hide();
        element->deleteLater();
    }

    // Unloads every element above 0.
    void UnloadAll()
    {
        for (int index : Indexes()) {
            if (index > 0)
                Unload(index);
        }
    }

    // Null when there is no element of that index.
    T *Item(int index) const
    {
        const auto it = m_elements.find(index);
        return it == m_elements.end() ? nullptr : it->second.data();
    }
    T *operator()(int index) const { return Item(index); }

    std::vector<int> Indexes() const
    {
        std::vector<int> out;
        for (const auto &[index, element] : m_elements) {
            if (element)
                out.push_back(index);
        }
        return out;
    }
    int Count() const { return static_cast<int>(Indexes().size()); }
    int LBound() const { const auto i = Indexes(); return i.empty() ? 0 : i.front(); }
    int UBound() const { const auto i = Indexes(); return i.empty() ? 0 : i.back(); }

private:
    static QString source() { return QStringLiteral("Controls"); }

    std::map<int, QPointer<T>> m_elements;
    std::function<void(T *)> m_onLoad;
};

} // namespace qvcontrols
