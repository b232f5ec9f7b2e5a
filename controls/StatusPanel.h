#pragma once

#include "jx_controls_export.h"

#include <QString>

namespace qvcontrols {

class StatusBar;

// One keyed panel of the status bar.
class JX_CONTROLS_EXPORT StatusPanel final
{
public:
    StatusPanel(StatusBar *owner, QString key, QString text, int width)
        : m_owner(owner), m_key(std::move(key)), m_text(std::move(text)), m_width(width)
    {
    }

    QString Key() const { return m_key; }
    QString Text() const { return m_text; }
    void setText(const QString &text);
    // Twips; 0 lets the panel take the room the others leave.
    int Width() const { return m_width; }
    void setWidth(int twips);

private:
    StatusBar *m_owner;
    QString m_key;
    QString m_text;
    int m_width;
};

} // namespace qvcontrols
