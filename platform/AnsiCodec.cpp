#include "platform/AnsiCodec.h"

#include <cerrno>
#include <iconv.h>

namespace jx {

namespace {

// One iconv conversion descriptor, closed on every path.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Back to the initial state, for the next text.
    void reset()
    {
        if (valid())
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    }

    // Converts as much as possible; returns the number of input bytes left
    // unconverted at a bad or incomplete sequence.
    size_t convert(const char *&in, size_t &inLeft, QByteArray &out)
    {
        char buffer[1024];
        while (inLeft > 0) {
            char *outPtr = buffer;
            size_t outLeft = sizeof buffer;
            char *inPtr = const_cast<char *>(in);
            const size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int err = errno;
            in = inPtr;
            out.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
            if (rc != static_cast<size_t>(-1))
                break;
            if (err != E2BIG)
                return inLeft;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

// Opening a descriptor costs more than converting a caption: each thread
// keeps one per direction.
Converter &toGbk()
{
    thread_local Converter cv("GBK", "UTF-16LE");
    cv.reset();
    return cv;
}

Converter &fromGbk()
{
    thread_local Converter cv("UTF-16LE", "GBK");
    cv.reset();
    return cv;
}

} // namespace

QByteArray toAnsi(const QString &text)
{
    QByteArray out;
    Converter &cv = toGbk();
    if (!cv.valid())
        return text.toLatin1();
    // Convert character by character only after a failure, so that one
    // character GBK cannot hold costs a "?" and not the rest of the text.
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const char *in = reinterpret_cast<const char *>(data + pos);
        size_t inLeft = static_cast<size_t>(text.size() - pos) * 2;
        const size_t left = cv.convert(in, inLeft, out);
        if (left == 0)
            break;
        pos = text.size() - static_cast<qsizetype>(left / 2);
        out.append('?');
        // Skip a whole surrogate pair as one character.
        pos += QChar::isHighSurrogate(data[pos]) && pos + 1 < text.size()
                && QChar::isLowSurrogate(data[pos + 1]) ? 2 : 1;
    }
    return out;
}

QString fromAnsi(const QByteArray &bytes)
{
    Converter &cv = fromGbk();
    if (!cv.valid())
        return QString::fromLatin1(bytes);
    QByteArray out;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const char *in = bytes.constData() + pos;
        size_t inLeft = static_cast<size_t>(bytes.size() - pos);
        const size_t left = cv.convert(in, inLeft, out);
        if (left == 0)
            break;
        pos = bytes.size() - static_cast<qsizetype>(left);
        const char16_t replacement = 0xFFFD;
        out.append(reinterpret_cast<const char *>(&replacement), 2);
        ++pos;
    }
    return QString(reinterpret_cast<const QChar *>(out.constData()), out.size() / 2);
}

} // namespace jx
