#include "components/xml/XmlDocument.h"

#include "platform/PathMapper.h"
#include "platform/ErrorText.h"
#include "platform/com/Result.h"

#include <QFile>
#include <QRegularExpression>

#include <iconv.h>
#include <pugixml.hpp>

#include <sstream>

struct XmlDocument::Impl
{
    pugi::xml_document doc;
    bool loaded = false;
    QString error;
};

namespace {

// Encoding named in the XML declaration, lower case; "" when there is none.
QByteArray declaredEncoding(const QByteArray &data)
{
    if (!data.startsWith("<?xml"))
        return {};
    const int end = data.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9_.:-]+)[\"']"));
    const auto m = re.match(QString::fromLatin1(data.left(end)));
    return m.hasMatch() ? m.captured(1).toLower().toLatin1() : QByteArray();
}

bool isChineseEncoding(const QByteArray &enc)
{
    return enc == "gb2312" || enc == "gbk" || enc == "gb18030" || enc == "cp936" || enc == "x-gbk"
        || enc == "euc-cn";
}

// GB18030 is a superset of GBK and GB2312, so one conversion serves all three.
jx::Result<QByteArray> gbToUtf8(const QByteArray &in)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return jx::fail(QStringLiteral("GB18030 conversion is not available"));
    QByteArray out;
    out.resize(in.size() * 2 + 16);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char *dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    QString invalid;
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                const auto used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = static_cast<size_t>(out.size() - used);
                continue;
            }
            invalid = QStringLiteral("invalid GB18030 byte sequence at offset %1")
                          .arg(static_cast<qint64>(src - in.constData()));
            break;
        }
    }
    out.resize(dst - out.data());
    iconv_close(cd);
    if (!invalid.isEmpty())
        return jx::fail(invalid);
    return out;
}

QString stringValue(const pugi::xpath_node &n)
{
    if (n.attribute())
        return QString::fromUtf8(n.attribute().value());
    const pugi::xml_node node = n.node();
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata
        || node.type() == pugi::node_comment || node.type() == pugi::node_pi)
        return QString::fromUtf8(node.value());
    return XmlElement(node.internal_object()).text().toString();
}

} // namespace

XmlDocument::XmlDocument() : d(std::make_unique<Impl>()) {}
XmlDocument::~XmlDocument() = default;

void XmlDocument::Initialize(int &) {}

QString XmlDocument::translatePath(const QString &xpath)
{
    QString out;
    out.reserve(xpath.size() + 4);
    QChar quote;
    for (int i = 0; i < xpath.size(); ++i) {
        const QChar c = xpath.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
            continue;
        }
        if (c == u'[') {
            const int close = xpath.indexOf(u']', i + 1);
            if (close > i) {
                const QString inner = xpath.mid(i + 1, close - i - 1).trimmed();
                bool ok = false;
                const qlonglong n = inner.toLongLong(&ok);
                if (ok && !inner.isEmpty() && inner.at(0).isDigit()) {
                    out += u'[' + QString::number(n + 1) + u']';
                    i = close;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

bool XmlDocument::Load(const QString &fileName, int)
{
    d->doc.reset();
    d->loaded = false;
    QFile file(jx::toLocalPath(fileName.trimmed()));
    if (fileName.trimmed().isEmpty() || !file.exists()) {
        d->error = QStringLiteral("file not found: %1").arg(fileName);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        d->error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    QByteArray data = file.readAll();
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (isChineseEncoding(declaredEncoding(data))) {
        auto utf8 = gbToUtf8(data);
        if (!utf8) {
            d->error = fileName + QStringLiteral(": ") + utf8.error();
            return false;
        }
        data = std::move(utf8).value();
        encoding = pugi::encoding_utf8;
    }
    const auto result = d->doc.load_buffer(data.constData(), static_cast<size_t>(data.size()),
                                           pugi::parse_default, encoding);
    if (!result) {
        d->error = QStringLiteral("%1: not well-formed XML (%2 at offset %3)")
                       .arg(fileName, QString::fromUtf8(result.description()))
                       .arg(static_cast<qint64>(result.offset));
        d->doc.reset();
        return false;
    }
    if (!d->doc.document_element()) {
        d->error = fileName + QStringLiteral(": no root element");
        return false;
    }
    d->loaded = true;
    d->error.clear();
    return true;
}

bool XmlDocument::LoadXml(const QString &xml, int)
{
    d->doc.reset();
    d->loaded = false;
    const QByteArray data = xml.toUtf8();
    const auto result = d->doc.load_buffer(data.constData(), static_cast<size_t>(data.size()),
                                           pugi::parse_default, pugi::encoding_utf8);
    if (!result || !d->doc.document_element()) {
        d->error = result ? QStringLiteral("no root element")
                          : QStringLiteral("not well-formed XML (%1 at offset %2)")
                                .arg(QString::fromUtf8(result.description()))
                                .arg(static_cast<qint64>(result.offset));
        d->doc.reset();
        return false;
    }
    d->loaded = true;
    d->error.clear();
    return true;
}

namespace {
// First match in document order, an empty node for no match; a bad expression fails.
jx::Result<pugi::xpath_node> firstMatch(const pugi::xml_document &doc, const QString &xpath)
{
    try {
        const std::string q = XmlDocument::translatePath(xpath).toStdString();
        return doc.select_node(q.c_str());
    } catch (const pugi::xpath_exception &e) {
        return jx::fail(QStringLiteral("invalid XPath '%1': %2").arg(xpath, jx::errorText(e)));
    } catch (const std::exception &e) {
        return jx::fail(jx::errorText(e));
    }
}

} // namespace

QString XmlDocument::GetXml(const QString &xpath) const
{
    const auto match = firstMatch(d->doc, xpath);
    if (!match)
        d->error = match.error(); // the document's LastError
    const pugi::xpath_node n = match.valueOr(pugi::xpath_node());
    if (!n)
        return {};
    if (n.attribute())
        return QString::fromUtf8(n.attribute().name()) + QStringLiteral("=\"")
            + QString::fromUtf8(n.attribute().value()) + u'"';
    std::ostringstream os;
    n.node().print(os, "", pugi::format_raw);
    return QString::fromStdString(os.str());
}

int32_t XmlDocument::Count(const QString &xpath) const
{
    try {
        const std::string q = translatePath(xpath).toStdString();
        return static_cast<int32_t>(d->doc.select_nodes(q.c_str()).size());
    } catch (const std::exception &e) {
        d->error = QStringLiteral("invalid XPath '%1': %2").arg(xpath, jx::errorText(e));
    }
    return 0;
}

QVariant XmlDocument::GetValue(const QString &xpath) const
{
    const auto match = firstMatch(d->doc, xpath);
    if (!match)
        d->error = match.error(); // the document's LastError
    const pugi::xpath_node n = match.valueOr(pugi::xpath_node());
    if (!n)
        return {};
    return stringValue(n);
}

QVariant XmlDocument::GetAttribute(const QString &xpath, const QString &name) const
{
    const auto match = firstMatch(d->doc, xpath);
    if (!match)
        d->error = match.error(); // the document's LastError
    const pugi::xpath_node n = match.valueOr(pugi::xpath_node());
    if (!n || !n.node())
        return {};
    const auto attr = n.node().attribute(name.toUtf8().constData());
    if (!attr)
        return {};
    return QString::fromUtf8(attr.value());
}

XmlElement XmlDocument::DocumentElement() const
{
    return XmlElement(d->doc.document_element().internal_object());
}

QString XmlDocument::lastError() const { return d->error; }

const com::MemberTable<XmlDocument> &XmlDocument::members()
{
    using com::DispArgs;
    using com::Variant;
    static const com::MemberTable<XmlDocument> table = com::MemberTable<XmlDocument>()
        .add(QStringLiteral("Initialize"), [](XmlDocument &, const DispArgs &) { return Variant(); })
        .add(QStringLiteral("Load"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromBool(self.Load(com::argText(a, 0), com::argInt(a, 1, 0)));
        })
        .add(QStringLiteral("LoadXml"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromBool(self.LoadXml(com::argText(a, 0), com::argInt(a, 1, 0)));
        })
        .add(QStringLiteral("GetXml"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromString(self.GetXml(com::argText(a, 0)));
        })
        .add(QStringLiteral("Count"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromInt32(self.Count(com::argText(a, 0)));
        })
        .add(QStringLiteral("GetValue"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromQVariant(self.GetValue(com::argText(a, 0)));
        })
        .add(QStringLiteral("GetAttribute"), [](XmlDocument &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return Variant::fromQVariant(self.GetAttribute(com::argText(a, 0), com::argText(a, 1)));
        });
    return table;
}
