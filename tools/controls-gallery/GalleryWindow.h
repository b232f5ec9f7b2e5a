#pragma once

#include "controls/Button2.h"
#include "controls/ControlArray.h"

#include <QWidget>

#include <memory>

namespace qvcontrols {
class NavPanel;
class StatusBar;
class ShadowLabel;
} // namespace qvcontrols

// Every control with sample content, laid out like the main workspace.
class GalleryWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget *parent = nullptr);
    ~GalleryWindow() override;

private:
    void buildMenuButtons(int group);

    qvcontrols::NavPanel *m_nav = nullptr;
    qvcontrols::StatusBar *m_status = nullptr;
    qvcontrols::ShadowLabel *m_where = nullptr;
    std::unique_ptr<qvcontrols::ControlArray<qvcontrols::Button2>> m_buttons;
};
