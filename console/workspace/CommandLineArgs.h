#pragma once

#include <QHash>
#include <QString>

namespace jx {

// The switches of a program's command line. Switches are separated by
// blanks, each optionally introduced by "/" or "-"; its name is the leading
// letters (letter case ignored), its value the rest after an optional "=" or
// ":". So "/s /w12000 /h8000" and "s w=9000 h=6000" say the same kind of
// thing. A word without leading letters is no switch and is skipped.
class CommandLineArgs final
{
public:
    struct Switch
    {
        bool Exists = false;
        QString Value;
    };

    void Parse(const QString &commandLine);
    // The named switch; one that is not on the line does not exist. When a
    // switch is given twice, the last one counts.
    Switch Item(const QString &name) const;

private:
    QHash<QString, QString> m_switches;
};

} // namespace jx
