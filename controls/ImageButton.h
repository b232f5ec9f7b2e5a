#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QVariantList>

#include <cstdint>

namespace qvcontrols {

// Common part of the image buttons: caption, picture, Tag, element index and
// the four appearance properties a new array element copies from its
// predecessor (BackColor, ForeColor, HoverColor as OLE colours, and
// BorderStyle: 0 none, 1 a single line in the fore colour).
class JX_CONTROLS_EXPORT ImageButton : public QAbstractButton, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(int Index READ Index WRITE setIndex)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int HoverColor READ HoverColor WRITE setHoverColor)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
public:
    explicit ImageButton(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t ole);
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t ole);
    int32_t HoverColor() const { return m_hoverColor; }
    void setHoverColor(int32_t ole);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    // The four appearance properties of `other`.
    void CopyAppearance(const ImageButton &other);

    bool isHovered() const { return m_hovered; }
    QSize sizeHint() const override;

signals:
    // The element index of the button that was clicked.
    void Click(int index);
    void Event(const QString &name, const QVariantList &params);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_tag;
    QPixmap m_picture;
    int m_index = 0;
    int32_t m_backColor;
    int32_t m_foreColor;
    int32_t m_hoverColor;
    int m_borderStyle = 0;
    bool m_hovered = false;
};

} // namespace qvcontrols
