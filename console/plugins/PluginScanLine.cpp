#include "console/plugins/PluginScanLine.h"

#include <QList>

namespace jx {

namespace {

// Marks our lines among whatever else a plug-in prints while it is created.
constexpr char kMarker[] = "JXSCAN1";

QByteArray escaped(const QString &field)
{
    QByteArray out;
    for (const char c : field.toUtf8()) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        switch (field[++i]) {
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: out += field[i];
        }
    }
    return QString::fromUtf8(out);
}

QByteArray line(std::initializer_list<QByteArray> fields)
{
    QByteArray out(kMarker);
    for (const QByteArray &f : fields)
        out += '\t' + f;
    return out + '\n';
}

} // namespace

QByteArray EncodeScanRow(const PluginRow &row)
{
    return line({"plugin", escaped(row.descriptor.path), escaped(row.descriptor.progId), escaped(row.descriptor.className),
                 escaped(row.friendlyName), escaped(row.author), escaped(row.description)});
}

QByteArray EncodeScanRejection(const PluginRejection &rejection)
{
    return line({"rejected", escaped(rejection.path), escaped(rejection.reason)});
}

bool DecodeScanLine(const QByteArray &text, PluginScan &scan)
{
    QByteArray trimmed = text;
    while (trimmed.endsWith('\n') || trimmed.endsWith('\r'))
        trimmed.chop(1);
    const QList<QByteArray> fields = trimmed.split('\t');
    if (fields.size() < 2 || fields[0] != kMarker)
        return false;
    if (fields[1] == "plugin" && fields.size() == 8) {
        PluginRow row;
        row.descriptor.path = unescaped(fields[2]);
        row.descriptor.progId = unescaped(fields[3]);
        row.descriptor.className = unescaped(fields[4]);
        row.friendlyName = unescaped(fields[5]);
        row.author = unescaped(fields[6]);
        row.description = unescaped(fields[7]);
        scan.rows.append(row);
        return true;
    }
    if (fields[1] == "rejected" && fields.size() == 4) {
        scan.rejected.append({unescaped(fields[2]), unescaped(fields[3])});
        return true;
    }
    return false;
}

} // namespace jx
