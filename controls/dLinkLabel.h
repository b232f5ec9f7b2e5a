#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QLabel>
#include <QVariantList>

#include <cstdint>

namespace qvcontrols {

// qvComCTL.dLinkLabel: a caption with an optional link target. A click
// raises Click with the element index and, when the link is set, opens it
// with the desktop (web and "mailto:" links alike). Its width follows the
// caption. Assistive technology sees a push button named by the caption.
class JX_CONTROLS_EXPORT dLinkLabel final : public QLabel, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString Link READ Link WRITE setLink)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int Index READ Index WRITE setIndex)
public:
    explicit dLinkLabel(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    QString Link() const { return m_link; }
    void setLink(const QString &link) { m_link = link; }
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t ole);
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    // What a click does, without the mouse (also Enter or Space with focus).
    void Activate();

signals:
    void Click(int index);
    void Event(const QString &name, const QVariantList &params);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyColor(bool hovered);

    QString m_link;
    int32_t m_foreColor = 0x993300; // link blue
    int m_index = 0;
};

} // namespace qvcontrols
