#include "console/support/b64.h"

#include "console/config/bCommon.h"
#include "platform/AnsiCodec.h"
#include "platform/com/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace jx::b64 {

namespace {

constexpr uint8_t kPad = 64;
constexpr uint8_t kNotInAlphabet = 255;

constexpr DecodeTableType buildTable()
{
    DecodeTableType t{};
    for (auto &v : t)
        v = kNotInAlphabet;
    for (int i = 0; i < 26; ++i) {
        t[static_cast<size_t>('A' + i)] = static_cast<uint8_t>(i);
        t[static_cast<size_t>('a' + i)] = static_cast<uint8_t>(26 + i);
    }
    for (int i = 0; i < 10; ++i)
        t[static_cast<size_t>('0' + i)] = static_cast<uint8_t>(52 + i);
    t['+'] = 62;
    t['/'] = 63;
    t['='] = kPad;
    return t;
}

constexpr DecodeTableType kTable = buildTable();

const QString kMarker = QStringLiteral("=?gb2312?B?");

} // namespace

const DecodeTableType &DecodeTable()
{
    return kTable;
}

QString DecodeEncodedWord(const QString &text)
{
    if (text.isEmpty() || !text.startsWith(kMarker))
        return text;
    if (text.size() < kMarker.size() + 2)
        throw com::RuntimeError(com::errors::InvalidProcedureCall, QStringLiteral("b64"),
                                QStringLiteral("无效的过程调用或参数"));
    return Base64DecodeText(text.mid(kMarker.size(), text.size() - kMarker.size() - 2));
}

QString Base64DecodeText(const QString &text)
{
    if (text.isEmpty())
        return QString();
    return AnsiBytesToText(Base64Decode(StripLineBreaks(TextToAnsiBytes(text))));
}

void Base64DecodeToFile(const QString &filePath, const QString &text)
{
    if (text.isEmpty())
        return;
    WriteBytesToFile(filePath, Base64Decode(StripLineBreaks(TextToAnsiBytes(text))));
}

QByteArray Base64Decode(const QByteArray &input)
{
    QByteArray in = input;
    while (in.size() % 4 != 0)
        in.append('=');
    if (in.isEmpty())
        return QByteArray();
    const qsizetype n = in.size();
    const qsizetype padding = in[n - 2] == '=' ? 2 : (in[n - 1] == '=' ? 1 : 0);
    QByteArray out(3 * (n / 4) - padding, '\0');
    qsizetype at = 0;
    auto put = [&](int value) {
        if (at < out.size()) // cannot run over with any input; kept as a guard
            out[at++] = static_cast<char>(value & 0xFF);
    };
    for (qsizetype g = 0; g < n; g += 4) {
        uint8_t v[4];
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<uint8_t>(in[g + i]);
            if (byte >= kTable.size())
                return out; // no table entry: decoding ends here
            v[i] = kTable[byte];
        }
        const int a = v[0], b = v[1], c = v[2], d = v[3];
        if (d == kPad && c != kPad) {
            put((a << 2) | ((b >> 4) & 3));
            put(((b & 15) << 4) | ((c >> 2) & 15));
            return out;
        }
        if (c == kPad) {
            put((a << 2) | ((b >> 4) & 3));
            return out;
        }
        put((a << 2) | ((b >> 4) & 3));
        put(((b & 15) << 4) | ((c >> 2) & 15));
        put(((c & 3) << 6) | d);
    }
    return out;
}

QByteArray StripLineBreaks(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        if (ch != '\r' && ch != '\n')
            out.append(ch);
    }
    return out;
}

QByteArray TextToAnsiBytes(const QString &text)
{
    return toAnsi(text);
}

QString AnsiBytesToText(const QByteArray &bytes)
{
    return fromAnsi(bytes);
}

void WriteBytesToFile(const QString &filePath, const QByteArray &bytes)
{
    const QString local = LocalPath(filePath);
    if (local.isEmpty() || !QFileInfo(local).absoluteDir().exists())
        throw com::RuntimeError(76, QStringLiteral("b64"), QStringLiteral("路径未找到"));
    QSaveFile f(local);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw com::RuntimeError(75, QStringLiteral("b64"), QStringLiteral("路径/文件访问错误"));
}

} // namespace jx::b64
