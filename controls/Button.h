#pragma once

#include "jx_controls_export.h"

#include "controls/ImageButton.h"

namespace qvcontrols {

// qvButton.Button: a flat image button (picture, then caption) for title and
// link bars; transparent until the pointer is over it.
class JX_CONTROLS_EXPORT Button final : public ImageButton
{
    Q_OBJECT
public:
    explicit Button(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace qvcontrols
