#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QWidget>

#include <cstdint>

class QPainter;

namespace qvcontrols {

// qvPilot.qvArrow: a drawn connector of a navigation diagram, a thick line
// across its rectangle with a head at one end. Value ranges:
// - ArrowDirection: 0 right, 1 left, 2 up, 3 down; other values point right.
// - Appearance: 0 flat, 1 3-D (a lit edge and a shaded edge along the line).
// - ForeColor, BackColor: OLE colours of the line and of the background.
// - ConstantAlpha: 0 (background not drawn) to 255 (opaque background);
//   values outside are cut to that range. The line is always opaque.
// - BorderStyle: 0 none, 1 a single line in the fore colour round the rectangle.
// - ShadowLength: 0 (no shadow) to 16 pixels, the offset of the drop shadow.
// - ShadowStep: 1 to 16, pixels per shade of the shadow (fewer, softer
//   steps as it grows); 0 or less draws the shadow in one step.
class JX_CONTROLS_EXPORT qvArrow final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ArrowDirection READ ArrowDirection WRITE setArrowDirection)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ConstantAlpha READ ConstantAlpha WRITE setConstantAlpha)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int ShadowLength READ ShadowLength WRITE setShadowLength)
    Q_PROPERTY(int ShadowStep READ ShadowStep WRITE setShadowStep)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(int Index READ Index WRITE setIndex)
public:
    enum Direction { Right = 0, Left = 1, Up = 2, Down = 3 };

    explicit qvArrow(QWidget *parent = nullptr);

    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t ole) { m_foreColor = ole; update(); }
    int ArrowDirection() const { return m_direction; }
    void setArrowDirection(int direction);
    int Appearance() const { return m_appearance; }
    void setAppearance(int appearance);
    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t ole) { m_backColor = ole; update(); }
    int ConstantAlpha() const { return m_alpha; }
    void setConstantAlpha(int alpha);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    int ShadowLength() const { return m_shadowLength; }
    void setShadowLength(int length);
    int ShadowStep() const { return m_shadowStep; }
    void setShadowStep(int step);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintArrow(QPainter &painter) const;

    int32_t m_foreColor = 0;
    int m_direction = Right;
    int m_appearance = 0;
    int32_t m_backColor = 0;
    int m_alpha = 0;
    int m_borderStyle = 0;
    int m_shadowLength = 0;
    int m_shadowStep = 0;
    QString m_tag;
    int m_index = 0;
};

} // namespace qvcontrols
