#include "platform/com/TypeLibrary.h"

#include "platform/com/Guid.h"

#include <QFile>

#include <QVarLengthArray>

#include <cstring>
#include <optional>

namespace com {

namespace {

// True when [offset, offset + size) lies inside a file of fileSize bytes.
// Written so that no sum of values read from the file can wrap around.
bool fits(uint64_t offset, uint64_t size, qsizetype fileSize)
{
    const uint64_t total = static_cast<uint64_t>(fileSize);
    return offset <= total && size <= total - offset;
}

template<typename T>
bool readAt(const QByteArray &data, uint64_t offset, T *out)
{
    if (!fits(offset, sizeof(T), data.size()))
        return false;
    std::memcpy(out, data.constData() + offset, sizeof(T));
    return true;
}

// Ranges of a file read as they are needed: the type library of a library
// sits among a few kilobytes of headers, while its debug information, most
// of its size, is never read.
class FileParts
{
public:
    explicit FileParts(QFile &file) : m_file(file), m_size(file.size()) {}
    qsizetype size() const { return qsizetype(m_size); }
    // [offset, offset + length), or nothing when it lies outside the file or cannot be read.
    std::optional<QByteArray> read(uint64_t offset, uint64_t length) const
    {
        if (!fits(offset, length, size()) || !m_file.seek(qint64(offset)))
            return std::nullopt;
        QByteArray out = m_file.read(qint64(length));
        if (out.size() != qsizetype(length))
            return std::nullopt;
        return out;
    }

private:
    QFile &m_file;
    qint64 m_size;
};

// Every loadable segment lies inside the file. The dynamic loader maps a
// segment that runs past the end of a truncated file, and the first touch of
// the missing pages kills the process with SIGBUS.
bool segmentsInFile(const QByteArray &head, const FileParts &file)
{
    uint64_t phoff = 0;
    uint16_t phentsize = 0, phnum = 0;
    if (!readAt(head, 0x20, &phoff) || !readAt(head, 0x36, &phentsize) || !readAt(head, 0x38, &phnum))
        return false;
    if (phnum == 0)
        return true;
    if (phentsize < 56)
        return false;
    const std::optional<QByteArray> table = file.read(phoff, uint64_t(phnum) * phentsize);
    if (!table)
        return false;
    for (uint16_t i = 0; i < phnum; ++i) {
        const uint64_t base = uint64_t(i) * phentsize;
        uint32_t type = 0;
        uint64_t offset = 0, fileSize = 0;
        if (!readAt(*table, base, &type) || !readAt(*table, base + 8, &offset) || !readAt(*table, base + 32, &fileSize))
            return false;
        constexpr uint32_t kLoad = 1;
        if (type == kLoad && !fits(offset, fileSize, file.size()))
            return false;
    }
    return true;
}

// The contents of one named section of a 64-bit little-endian ELF file.
jx::Result<QByteArray> elfSection(QFile &f, const QByteArray &wanted)
{
    const FileParts file(f);
    const std::optional<QByteArray> head = file.read(0, 64);
    if (!head || !head->startsWith("\x7f" "ELF"))
        return jx::fail(QStringLiteral("not a shared library"));
    if ((*head)[4] != 2 || (*head)[5] != 1)
        return jx::fail(QStringLiteral("unsupported library format"));
    const auto damaged = [] { return jx::fail(QStringLiteral("damaged library file")); };
    uint64_t shoff = 0;
    uint16_t shentsize = 0, shnum = 0, shstrndx = 0;
    if (!readAt(*head, 0x28, &shoff) || !readAt(*head, 0x3A, &shentsize) || !readAt(*head, 0x3C, &shnum)
        || !readAt(*head, 0x3E, &shstrndx) || shentsize < 64 || shstrndx >= shnum || !segmentsInFile(*head, file))
        return damaged();
    const std::optional<QByteArray> sections = file.read(shoff, uint64_t(shnum) * shentsize);
    if (!sections)
        return damaged();
    auto header = [&](uint16_t i, uint32_t *name, uint64_t *offset, uint64_t *size) {
        const uint64_t base = uint64_t(i) * shentsize;
        return readAt(*sections, base, name) && readAt(*sections, base + 24, offset) && readAt(*sections, base + 32, size);
    };
    uint32_t n = 0;
    uint64_t strOff = 0, strSize = 0;
    if (!header(shstrndx, &n, &strOff, &strSize))
        return damaged();
    const std::optional<QByteArray> names = file.read(strOff, strSize);
    if (!names)
        return damaged();
    for (uint16_t i = 0; i < shnum; ++i) {
        uint32_t nameOff = 0;
        uint64_t off = 0, size = 0;
        if (!header(i, &nameOff, &off, &size) || nameOff >= strSize)
            continue;
        const char *name = names->constData() + nameOff;
        const size_t maxLen = static_cast<size_t>(strSize - nameOff);
        if (qstrnlen(name, maxLen) == static_cast<size_t>(wanted.size())
            && std::memcmp(name, wanted.constData(), static_cast<size_t>(wanted.size())) == 0) {
            const std::optional<QByteArray> contents = file.read(off, size);
            if (!contents)
                return damaged();
            return *contents;
        }
    }
    return jx::fail(QStringLiteral("the library has no type library"));
}

} // namespace

jx::Result<TypeLibrary> TypeLibrary::parse(const QString &text)
{
    TypeLibrary lib;
    bool haveLibrary = false;
    int lineNumber = 0;
    // Read in place: every class created from its file reads its library's description.
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        ++lineNumber;
        if (const qsizetype comment = line.indexOf(u'#'); comment >= 0)
            line = line.first(comment);
        QVarLengthArray<QStringView, 4> w;
        for (qsizetype i = 0; i < line.size();) {
            while (i < line.size() && line[i].isSpace())
                ++i;
            const qsizetype start = i;
            while (i < line.size() && !line[i].isSpace())
                ++i;
            if (i > start)
                w.append(line.sliced(start, i - start));
        }
        if (w.isEmpty())
            continue;
        auto fail = [&](const QString &why) {
            return jx::fail(QStringLiteral("type library line %1: %2").arg(lineNumber).arg(why));
        };
        if (w.size() < 3)
            return fail(QStringLiteral("incomplete declaration"));
        const std::optional<GUID> id = guidFromString(w.last().toString());
        if (!id)
            return fail(QStringLiteral("bad identifier"));
        if (w[0] == u"library" && w.size() == 4) {
            const QList<QStringView> version = w[2].split(u'.');
            lib.name = w[1].toString();
            lib.majorVersion = version.value(0).toInt();
            lib.minorVersion = version.value(1).toInt();
            lib.libid = *id;
            haveLibrary = true;
        } else if (w[0] == u"coclass" && w.size() == 3) {
            lib.types.append({TKIND_COCLASS, w[1].toString(), *id, {}});
        } else if (w[0] == u"interface" && w.size() == 3) {
            lib.types.append({TKIND_DISPATCH, w[1].toString(), *id, {}});
        } else if (w[0] == u"implements" && w.size() == 3) {
            if (lib.types.isEmpty() || lib.types.last().kind != TKIND_COCLASS)
                return fail(QStringLiteral("\"implements\" outside a coclass"));
            lib.types.last().implemented.append({w[1].toString(), *id});
        } else {
            return fail(QStringLiteral("unknown declaration"));
        }
    }
    if (!haveLibrary)
        return jx::fail(QStringLiteral("type library has no library declaration"));
    return lib;
}

jx::Result<TypeLibrary> TypeLibrary::loadFromFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return jx::fail(QStringLiteral("cannot open %1: %2").arg(path, f.errorString()));
    const auto section = elfSection(f, QByteArrayLiteral(".qvtypelib"));
    if (!section)
        return jx::fail(section.error());
    const qsizetype end = section->indexOf('\0');
    return parse(QString::fromUtf8(end < 0 ? *section : section->left(end)));
}

QList<TypeEntry> TypeLibrary::coclasses() const
{
    QList<TypeEntry> out;
    for (const TypeEntry &t : types) {
        if (t.kind == TKIND_COCLASS)
            out.append(t);
    }
    return out;
}

std::optional<TypeEntry> TypeLibrary::findCoclass(const QString &className) const
{
    for (const TypeEntry &t : types) {
        if (t.kind == TKIND_COCLASS && t.name.compare(className, Qt::CaseInsensitive) == 0)
            return t;
    }
    return std::nullopt;
}

} // namespace com
