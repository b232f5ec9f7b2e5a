#pragma once

#include "components/controls/TwipsGeometry.h"

#include <QWidget>

#include <cstdint>

namespace qvcontrols {

// qvNavigationPanel.NavContainer: the area of the navigation panel that holds
// the selected group's content (the console's menu buttons, placed in twips).
class NavContainer final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
public:
    explicit NavContainer(QWidget *parent = nullptr);

    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t ole);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int32_t m_backColor = 0xFAF0E6;
};

} // namespace qvcontrols
