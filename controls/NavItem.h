#pragma once

#include "jx_controls_export.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace qvcontrols {

// One group of the navigation panel.
class JX_CONTROLS_EXPORT NavItem final
{
public:
    NavItem(QString caption, QString key, QPixmap picture, QWidget *container, bool visible)
        : m_caption(std::move(caption)), m_key(std::move(key)), m_picture(std::move(picture)), m_container(container),
          m_visible(visible)
    {
    }

    QString Caption() const { return m_caption; }
    QString Key() const { return m_key; }
    QPixmap Picture() const { return m_picture; }
    QWidget *Container() const { return m_container; }
    bool Visible() const { return m_visible; }
    // 1-based position in the panel's collection.
    int Index() const { return m_index; }

private:
    friend class NavPanel;
    QString m_caption;
    QString m_key;
    QPixmap m_picture;
    QPointer<QWidget> m_container;
    bool m_visible;
    int m_index = 0;
};

} // namespace qvcontrols
