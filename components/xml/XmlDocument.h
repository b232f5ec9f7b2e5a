#pragma once

#include "jx_components_export.h"

#include "components/xml/XmlElement.h"
#include "platform/com/Dispatchable.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

/// Read-only XML document with XPath 1.0 selection. Positional predicates
/// written by callers count from 0: "/a/b[0]" is the first b.
/// Reference-counted; its automation face offers the members below by name.
class JX_COMPONENTS_EXPORT XmlDocument final : public com::Dispatchable<XmlDocument>
{
public:
    static const com::MemberTable<XmlDocument> &members();

    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument &) = delete;
    XmlDocument &operator=(const XmlDocument &) = delete;

    /// Kept for callers that always pass 99; has no effect.
    void Initialize(int &flags);
    /// Parses a file (UTF-8, UTF-16, GB2312/GBK/GB18030). False when missing or not well-formed.
    bool Load(const QString &fileName, int flags = 0);
    /// Parses markup held in memory.
    bool LoadXml(const QString &xml, int flags = 0);
    /// Markup of the first match including the node itself; "" when nothing matches.
    QString GetXml(const QString &xpath) const;
    /// Number of matching nodes (0 for an invalid expression).
    int32_t Count(const QString &xpath) const;
    /// Text content of the first match; null QVariant when nothing matches.
    QVariant GetValue(const QString &xpath) const;
    /// Attribute of the first match; null QVariant when node or attribute is absent.
    QVariant GetAttribute(const QString &xpath, const QString &name) const;
    /// The root element; a null element when nothing is loaded.
    XmlElement DocumentElement() const;
    /// Reason of the last failure ("" after success).
    QString lastError() const;

    /// Rewrites caller-side positions counting from 0 into XPath positions ([n] -> [n+1]).
    static QString translatePath(const QString &xpath);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
