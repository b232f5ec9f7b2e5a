#pragma once

#include "jx_controls_export.h"

#include "controls/StatusPanel.h"
#include "controls/TwipsGeometry.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace qvcontrols {

// The status bar of the function window: panels addressed by key or by
// 1-based index, drawn left to right, sunken, each with its text.
class JX_CONTROLS_EXPORT StatusBar final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);
    ~StatusBar() override;

    // A key already in use raises a com::RuntimeError.
    StatusPanel *Add(const QString &key, const QString &text = QString(), int widthTwips = 0);
    int Count() const { return static_cast<int>(m_panels.size()); }
    StatusPanel *Panel(int index) const;
    StatusPanel *Panel(const QString &key) const;
    // The text of the panel of that key; empty when there is none.
    QString PanelText(const QString &key) const;

    QRect panelRect(int index) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<std::unique_ptr<StatusPanel>> m_panels;
};

} // namespace qvcontrols
