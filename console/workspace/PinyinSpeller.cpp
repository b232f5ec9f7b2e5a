#include "console/workspace/PinyinSpeller.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace jx {

namespace {

bool isHan(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x20000 && c <= 0x2FA1F);
}

} // namespace

PinyinSpeller::PinyinSpeller()
{
    UErrorCode status = U_ZERO_ERROR;
    m_transliterator.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        m_transliterator.reset();
}

PinyinSpeller::~PinyinSpeller() = default;

QStringList PinyinSpeller::spell(const QString &text) const
{
    QStringList out;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty())
            out << run.toLower();
        run.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        if (isHan(c)) {
            flush();
            if (!m_transliterator) {
                out << QString::fromUcs4(&c, 1);
                continue;
            }
            // One character at a time keeps one syllable per character, so
            // initials line up with the characters the user sees.
            icu::UnicodeString u(static_cast<UChar32>(c));
            m_transliterator->transliterate(u);
            out << QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length()).trimmed().toLower();
        } else if (QChar::isLetterOrNumber(c)) {
            run += QString::fromUcs4(&c, 1);
        } else {
            flush();
        }
    }
    flush();
    return out;
}

QString PinyinSpeller::initials(const QString &text) const
{
    QString out;
    for (const QString &part : spell(text))
        if (!part.isEmpty())
            out += part.at(0);
    return out;
}

} // namespace jx
