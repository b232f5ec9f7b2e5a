#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QFrame>
#include <QPixmap>

#include <cstdint>

namespace qvcontrols {

// qvPanel.Panel: a framed container. Appearance 0 is flat (the back colour
// only); 1 is a sunken 3-D edge, the look of a work area; 2 a raised edge
// with a soft top-to-bottom shade, the look of a title bar. Themes reach it
// through style sheets: ThemeColor, when a theme sets it, takes the place of
// the back colour, for example
//   qvcontrols--Panel[Appearance="2"] { qproperty-ThemeColor: #1f4e8c; }
class JX_CONTROLS_EXPORT Panel final : public QFrame, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QColor ThemeColor READ ThemeColor WRITE setThemeColor)
public:
    explicit Panel(QWidget *parent = nullptr);

    int Appearance() const { return m_appearance; }
    void setAppearance(int appearance);
    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t ole);
    // The colour of text on the panel (its palette's window text), which the
    // panel's children inherit.
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t ole);
    QColor ThemeColor() const { return m_themeColor; }
    void setThemeColor(const QColor &color);
    // The colour the panel is painted in.
    QColor FaceColor() const;
    // Drawn stretched over the background when set.
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

signals:
    // The panel's size changed.
    void Resize();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int m_appearance = 0;
    int32_t m_backColor;
    int32_t m_foreColor;
    QColor m_themeColor;
    QPixmap m_picture;
};

} // namespace qvcontrols
