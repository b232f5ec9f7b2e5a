#include "components/xml/XmlElement.h"

#include <pugixml.hpp>

#include <cstring>
#include <string>

namespace {

bool named(const pugi::xml_node &node, const char *name)
{
    return node.type() == pugi::node_element && (!name || std::strcmp(node.name(), name) == 0);
}

// Walks the subtree in document order without recursion: a value nested
// a hundred thousand elements deep must not cost a stack frame per level.
void appendText(const pugi::xml_node &node, std::string &out)
{
    pugi::xml_node child = node.first_child();
    while (child) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element && child.first_child()) {
            child = child.first_child();
            continue;
        }
        while (!child.next_sibling()) {
            child = child.parent();
            if (child == node)
                return;
        }
        child = child.next_sibling();
    }
}

} // namespace

QString XmlElement::name() const
{
    return m_node ? QString::fromUtf8(pugi::xml_node(m_node).name()) : QString();
}

QVariant XmlElement::attribute(const char *name) const
{
    if (!m_node)
        return {};
    const pugi::xml_attribute attr = pugi::xml_node(m_node).attribute(name);
    if (!attr)
        return {};
    return QString::fromUtf8(attr.value());
}

QVariant XmlElement::text() const
{
    if (!m_node)
        return {};
    std::string out;
    appendText(pugi::xml_node(m_node), out);
    return QString::fromStdString(out);
}

XmlElement XmlElement::firstChild(const char *name) const
{
    if (!m_node)
        return {};
    pugi::xml_node child = pugi::xml_node(m_node).first_child();
    while (child && !named(child, name))
        child = child.next_sibling();
    return XmlElement(child.internal_object());
}

XmlElement XmlElement::nextSibling(const char *name) const
{
    if (!m_node)
        return {};
    pugi::xml_node sibling = pugi::xml_node(m_node).next_sibling();
    while (sibling && !named(sibling, name))
        sibling = sibling.next_sibling();
    return XmlElement(sibling.internal_object());
}
