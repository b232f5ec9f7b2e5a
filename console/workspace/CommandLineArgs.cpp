#include "console/workspace/CommandLineArgs.h"

#include <QRegularExpression>

namespace jx {

void CommandLineArgs::Parse(const QString &commandLine)
{
    m_switches.clear();
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (QString word : commandLine.split(blanks, Qt::SkipEmptyParts)) {
        if (word.startsWith(u'/') || word.startsWith(u'-'))
            word.remove(0, 1);
        qsizetype letters = 0;
        while (letters < word.size() && word.at(letters).isLetter())
            ++letters;
        if (letters == 0)
            continue;
        QString value = word.mid(letters);
        if (value.startsWith(u'=') || value.startsWith(u':'))
            value.remove(0, 1);
        m_switches.insert(word.left(letters).toLower(), value);
    }
}

CommandLineArgs::Switch CommandLineArgs::Item(const QString &name) const
{
    const auto it = m_switches.constFind(name.toLower());
    if (it == m_switches.constEnd())
        return {};
    return {true, it.value()};
}

} // namespace jx
