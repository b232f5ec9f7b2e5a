#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QPixmap>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

namespace qvcontrols {

// qvPilot.qvPilot_S: a node of a navigation diagram, an icon above its
// caption. IconSize is the icon's edge in pixels, 16 to 128 (0 or less means
// the default 32, larger values are cut to 128). TextAlign: 0 left, 1 right,
// 2 centre (other values centre). RightToLeft mirrors the caption's layout.
// The pointer over the node lights it up. It takes the focus (marked by a
// dotted frame); Enter or Space opens it as a click does, and the arrow keys
// move the focus to the nearest shown node on the same page in that
// direction (NodeNavigator). Assistive technology sees a push button named
// by the caption.
class JX_CONTROLS_EXPORT qvPilot_S final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int IconSize READ IconSize WRITE setIconSize)
    Q_PROPERTY(QVariant RightToLeft READ RightToLeftValue WRITE setRightToLeft)
    Q_PROPERTY(int TextAlign READ TextAlign WRITE setTextAlign)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(int Index READ Index WRITE setIndex)
public:
    explicit qvPilot_S(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    int IconSize() const { return m_iconSize; }
    void setIconSize(int size);
    bool RightToLeft() const { return m_rightToLeft; }
    QVariant RightToLeftValue() const { return m_rightToLeft; }
    // Takes the value as a diagram file gives it: a Boolean, a number (not 0
    // is on) or a text ("true", "-1", "1" are on).
    void setRightToLeft(const QVariant &value);
    int TextAlign() const { return m_textAlign; }
    void setTextAlign(int align);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    bool isHovered() const { return m_hovered; }

    // What a click does (also Enter, Space and the accessible press action).
    void Activate();

signals:
    void Click(int index);
    void Event(const QString &name, const QVariantList &params);

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintLook(QPainter &p) const;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_caption;
    QPixmap m_picture;
    int m_iconSize = 32;
    bool m_rightToLeft = false;
    int m_textAlign = 2;
    QString m_tag;
    int m_index = 0;
    bool m_hovered = false;
};

} // namespace qvcontrols
