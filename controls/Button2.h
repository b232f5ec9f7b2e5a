#pragma once

#include "controls/ImageButton.h"

namespace qvcontrols {

// qvButton2.Button2: the menu and report button: a rounded, shaded face in
// the back colour with the picture on the left and the caption beside it.
class Button2 final : public ImageButton
{
    Q_OBJECT
public:
    explicit Button2(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace qvcontrols
