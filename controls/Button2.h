#pragma once

#include "jx_controls_export.h"

#include "controls/ImageButton.h"

namespace qvcontrols {

// qvButton2.Button2: the menu and report button: a rounded, shaded face in
// the back colour with the picture on the left and the caption beside it.
class JX_CONTROLS_EXPORT Button2 final : public ImageButton
{
    Q_OBJECT
public:
    explicit Button2(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace qvcontrols
