#include "toolbar/control/PropertyBag.h"

#include "platform/com/RuntimeError.h"

#include <QBuffer>
#include <QDataStream>
#include <QImage>

#include <algorithm>
#include <limits>
#include <optional>

namespace qvtoolbar {

namespace {
constexpr quint32 kMagic = 0x51565042; // "QVPB"
constexpr quint16 kFormat = 1;
constexpr int32_t kTypeMismatch = 13;
constexpr int32_t kInvalidPropertyValue = 380;
const QString kSource = QStringLiteral("qvToolbar");

enum Tag : quint8 { TString = 1, TInt16 = 2, TInt32 = 3, TBool = 4, TFont = 5, TPicture = 6 };

[[noreturn]] void mismatch(const QString &name)
{
    throw com::RuntimeError(kTypeMismatch, kSource, QStringLiteral("类型不匹配: ") + name);
}

bool sameFont(const FontRef &a, const FontRef &b)
{
    if (!a || !b)
        return a == b;
    return a->Name == b->Name && a->Size == b->Size && a->Bold == b->Bold && a->Italic == b->Italic
        && a->Underline == b->Underline && a->Strikethrough == b->Strikethrough && a->Weight == b->Weight
        && a->Charset == b->Charset;
}

bool samePicture(const PictureRef &a, const PictureRef &b)
{
    if (!a || !b)
        return a == b;
    return a == b || (a->type() == b->type() && a->image() == b->image());
}

std::optional<int64_t> integerOf(const PropertyBag::Value &v)
{
    if (auto *p = std::get_if<int16_t>(&v))
        return *p;
    if (auto *p = std::get_if<int32_t>(&v))
        return *p;
    if (auto *p = std::get_if<bool>(&v))
        return *p ? -1 : 0;
    return std::nullopt;
}
} // namespace

bool PropertyBag::Equal(const Value &a, const Value &b)
{
    const auto ia = integerOf(a);
    const auto ib = integerOf(b);
    if (ia && ib)
        return *ia == *ib;
    if (a.index() != b.index())
        return false;
    if (auto *s = std::get_if<QString>(&a))
        return *s == std::get<QString>(b);
    if (auto *f = std::get_if<FontRef>(&a))
        return sameFont(*f, std::get<FontRef>(b));
    return samePicture(std::get<PictureRef>(a), std::get<PictureRef>(b));
}

const PropertyBag::Value *PropertyBag::Find(const QString &name) const
{
    for (const auto &[n, v] : m_values)
        if (n == name)
            return &v;
    return nullptr;
}

void PropertyBag::WriteProperty(const QString &name, const Value &value, const Value &defaultValue)
{
    auto it = std::find_if(m_values.begin(), m_values.end(), [&](const auto &e) { return e.first == name; });
    if (Equal(value, defaultValue)) {
        if (it != m_values.end())
            m_values.erase(it);
        return;
    }
    Value stored = value;
    // A font is kept by value: later changes to the button's font object do
    // not alter what was stored.
    if (auto *f = std::get_if<FontRef>(&stored); f && *f)
        *f = std::make_shared<StdFont>(**f);
    if (it != m_values.end())
        it->second = std::move(stored);
    else
        m_values.emplace_back(name, std::move(stored));
}

bool PropertyBag::Contains(const QString &name) const
{
    return Find(name) != nullptr;
}

QStringList PropertyBag::Names() const
{
    QStringList names;
    for (const auto &e : m_values)
        names.append(e.first);
    return names;
}

QString PropertyBag::ReadString(const QString &name, const QString &defaultValue) const
{
    const Value *v = Find(name);
    if (!v)
        return defaultValue;
    if (auto *s = std::get_if<QString>(v))
        return *s;
    if (auto i = integerOf(*v))
        return QString::number(*i);
    mismatch(name);
}

int64_t PropertyBag::ReadInteger(const QString &name, int64_t defaultValue, int64_t lo, int64_t hi) const
{
    const Value *v = Find(name);
    if (!v)
        return defaultValue;
    const auto i = integerOf(*v);
    if (!i)
        mismatch(name);
    if (*i < lo || *i > hi)
        throw com::RuntimeError(com::errors::Overflow, kSource, QStringLiteral("溢出: ") + name);
    return *i;
}

int16_t PropertyBag::ReadInt16(const QString &name, int16_t defaultValue) const
{
    return static_cast<int16_t>(ReadInteger(name, defaultValue, std::numeric_limits<int16_t>::min(),
                                            std::numeric_limits<int16_t>::max()));
}

int32_t PropertyBag::ReadInt32(const QString &name, int32_t defaultValue) const
{
    return static_cast<int32_t>(ReadInteger(name, defaultValue, std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()));
}

bool PropertyBag::ReadBool(const QString &name, bool defaultValue) const
{
    return ReadInteger(name, defaultValue ? -1 : 0, std::numeric_limits<int32_t>::min(),
                       std::numeric_limits<int32_t>::max())
        != 0;
}

FontRef PropertyBag::ReadFont(const QString &name, const StdFont &defaultValue) const
{
    const Value *v = Find(name);
    if (!v)
        return std::make_shared<StdFont>(defaultValue);
    auto *f = std::get_if<FontRef>(v);
    if (!f)
        mismatch(name);
    return *f ? std::make_shared<StdFont>(**f) : std::make_shared<StdFont>(defaultValue);
}

PictureRef PropertyBag::ReadPicture(const QString &name) const
{
    const Value *v = Find(name);
    if (!v)
        return nullptr;
    auto *p = std::get_if<PictureRef>(v);
    if (!p)
        mismatch(name);
    return *p;
}

QByteArray PropertyBag::Save() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kFormat << quint32(m_values.size());
    for (const auto &[name, value] : m_values) {
        out << name;
        std::visit(
            [&out](const auto &v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, QString>) {
                    out << quint8(TString) << v;
                } else if constexpr (std::is_same_v<T, int16_t>) {
                    out << quint8(TInt16) << qint16(v);
                } else if constexpr (std::is_same_v<T, int32_t>) {
                    out << quint8(TInt32) << qint32(v);
                } else if constexpr (std::is_same_v<T, bool>) {
                    out << quint8(TBool) << v;
                } else if constexpr (std::is_same_v<T, FontRef>) {
                    const StdFont f = v ? *v : StdFont();
                    out << quint8(TFont) << f.Name << f.Size << f.Bold << f.Italic << f.Underline << f.Strikethrough
                        << qint16(f.Weight) << qint16(f.Charset);
                } else {
                    QByteArray png;
                    qint32 type = 0;
                    if (v) {
                        type = v->type();
                        QBuffer buf(&png);
                        buf.open(QIODevice::WriteOnly);
                        v->image().save(&buf, "PNG");
                    }
                    out << quint8(TPicture) << type << png;
                }
            },
            value);
    }
    return bytes;
}

PropertyBag PropertyBag::Load(const QByteArray &bytes)
{
    auto bad = [](const QString &why) {
        return com::RuntimeError(kInvalidPropertyValue, kSource,
                                 QStringLiteral("保存的属性无效: ") + why);
    };
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, count = 0;
    quint16 format = 0;
    in >> magic >> format >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic)
        throw bad(QStringLiteral("不是保存的属性集"));
    if (format != kFormat)
        throw bad(QStringLiteral("未知的格式 %1").arg(format));
    PropertyBag bag;
    for (quint32 i = 0; i < count; ++i) {
        QString name;
        quint8 tag = 0;
        in >> name >> tag;
        if (in.status() != QDataStream::Ok)
            throw bad(QStringLiteral("第 %1 个值不完整").arg(i + 1));
        if (name.isEmpty() || bag.Contains(name))
            throw bad(QStringLiteral("名称为空或重复: '%1'").arg(name));
        Value v;
        switch (tag) {
        case TString: { QString s; in >> s; v = s; break; }
        case TInt16: { qint16 n = 0; in >> n; v = int16_t(n); break; }
        case TInt32: { qint32 n = 0; in >> n; v = int32_t(n); break; }
        case TBool: { bool b = false; in >> b; v = b; break; }
        case TFont: {
            auto f = std::make_shared<StdFont>();
            qint16 weight = 0, charset = 0;
            in >> f->Name >> f->Size >> f->Bold >> f->Italic >> f->Underline >> f->Strikethrough >> weight >> charset;
            f->Weight = weight;
            f->Charset = charset;
            v = FontRef(f);
            break;
        }
        case TPicture: {
            qint32 type = 0;
            QByteArray png;
            in >> type >> png;
            PictureRef pic;
            if (type != 0) {
                QImage img;
                if ((type != StdPicture::Bitmap && type != StdPicture::Icon) || !img.loadFromData(png, "PNG"))
                    throw bad(QStringLiteral("图片 '%1' 无法读出").arg(name));
                pic = std::make_shared<StdPicture>(StdPicture::Type(type), img);
            }
            v = pic;
            break;
        }
        default:
            throw bad(QStringLiteral("值 '%1' 的类型未知").arg(name));
        }
        if (in.status() != QDataStream::Ok)
            throw bad(QStringLiteral("值 '%1' 不完整").arg(name));
        bag.m_values.emplace_back(name, std::move(v));
    }
    return bag;
}

} // namespace qvtoolbar
