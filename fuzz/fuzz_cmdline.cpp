// The console's command-line object on arbitrary text: every word that
// starts with letters (after an optional "/" or "-") must be found again
// under its name, whatever the rest of the line holds.

#include "console/workspace/CommandLineArgs.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    jx::CommandLineArgs args;
    args.Parse(line);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (QString word : line.split(blanks, Qt::SkipEmptyParts)) {
        if (word.startsWith(u'/') || word.startsWith(u'-'))
            word.remove(0, 1);
        qsizetype letters = 0;
        while (letters < word.size() && word.at(letters).isLetter())
            ++letters;
        if (letters > 0 && !args.Item(word.left(letters)).Exists)
            std::abort(); // a switch on the line that cannot be found
    }
    // Parsing again starts afresh.
    args.Parse(QString());
    if (args.Item(QStringLiteral("s")).Exists)
        std::abort();
    return 0;
}
