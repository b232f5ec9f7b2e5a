#pragma once

#include <QString>
#include <QStringList>

#include <unicode/uversion.h>

#include <memory>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace jx {

// Spells Chinese text in toneless pinyin through ICU's Han-Latin
// transliteration, one syllable per character, so menu entries can be found
// by their initials ("fycx" for 房源查询). Building the transliterator costs
// a good part of a second, so an owner builds one and keeps it; an instance
// is not safe to share between threads.
class PinyinSpeller final
{
public:
    PinyinSpeller();
    ~PinyinSpeller();
    PinyinSpeller(const PinyinSpeller &) = delete;
    PinyinSpeller &operator=(const PinyinSpeller &) = delete;

    // False when ICU has no Han-Latin rules here; spell then answers the
    // text as it stands, lower-cased.
    bool isValid() const { return m_transliterator != nullptr; }

    // One entry per Chinese character (its syllable); other runs of letters
    // and digits stay one entry each, lower-cased. "2室A" gives 2, shi, a.
    QStringList spell(const QString &text) const;

    // The first letter of each entry of spell: "fycx".
    QString initials(const QString &text) const;

private:
    std::unique_ptr<icu::Transliterator> m_transliterator;
};

} // namespace jx
