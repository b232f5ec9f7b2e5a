#pragma once

#include "jx_components_export.h"

#include <QString>
#include <QVariant>

namespace pugi {
struct xml_node_struct;
}

/// An element of an XmlDocument, for callers that walk a long list once
/// instead of selecting each member by position (which walks the siblings
/// again for every member). Valid while its document holds the markup.
class JX_COMPONENTS_EXPORT XmlElement final
{
public:
    XmlElement() = default;
    /// Over a node of a pugixml document (XmlDocument hands them out).
    explicit XmlElement(pugi::xml_node_struct *node) : m_node(node) {}

    explicit operator bool() const { return m_node != nullptr; }
    QString name() const;
    /// The attribute's value; null QVariant when the element or attribute is absent.
    QVariant attribute(const char *name) const;
    /// Text content of the element and its descendants, as XmlDocument::GetValue
    /// gives it; null QVariant for no element.
    QVariant text() const;
    /// First child element of that name (any name for null); a null element when none.
    XmlElement firstChild(const char *name = nullptr) const;
    /// Next sibling element of that name (any name for null); a null element when none.
    XmlElement nextSibling(const char *name = nullptr) const;

private:
    pugi::xml_node_struct *m_node = nullptr;
};
