#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

class QTimer;

namespace qvtoolbar {

class TipWindow;

// A tip for a whole window: rectangular (Style 0) or balloon (Style 1),
// shown while the pointer rests on the owner window.
class QVTOOLBAR_EXPORT clsToolTip final : public QObject
{
    Q_OBJECT
public:
    explicit clsToolTip(QObject *parent = nullptr);
    ~clsToolTip() override;

    // Builds the tip window for the owner; always returns false. With the
    // pointer already on the owner the delay starts at once, so an owner
    // that rebuilds the tip at every move still shows it once the pointer
    // rests.
    bool Create(QWidget *parentWindow);
    void Destroy();
    bool IsCreated() const { return m_window != nullptr; }

    int32_t Style() const { return m_style; }
    void SetStyle(int32_t v) { m_style = v; }
    bool Centered() const { return m_centered; }
    void SetCentered(bool v) { m_centered = v; }
    int32_t IconType() const { return m_iconType; }
    void SetIconType(int32_t v);
    QString Title() const { return m_title; }
    void SetTitle(const QString &v);
    int32_t ForeColor() const { return m_foreColor; }
    void SetForeColor(int32_t v);
    int32_t BackColor() const { return m_backColor; }
    void SetBackColor(int32_t v);
    QString TipText() const { return m_tipText; }
    void SetTipText(const QString &v);
    int32_t VisibleTime() const { return m_visibleTime; }
    void SetVisibleTime(int32_t v) { m_visibleTime = v; }
    int32_t DelayTime() const { return m_delayTime; }
    void SetDelayTime(int32_t v) { m_delayTime = v; }

    // What the present window shows (for hosts and tests); empty title
    // when no title is shown.
    QString ShownText() const;
    QString ShownTitle() const;
    QWidget *Window() const;
    // Shows the tip at once below the given global position.
    void ShowAt(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyTitle();

    int32_t m_style = 0;
    bool m_centered = false;
    int32_t m_iconType = 0;
    QString m_title;
    int32_t m_foreColor = 0;
    int32_t m_backColor = 0;
    QString m_tipText;
    int32_t m_visibleTime = 5000;
    int32_t m_delayTime = 500;
    QPointer<QWidget> m_parent;
    TipWindow *m_window = nullptr;
    QTimer *m_delayTimer = nullptr;
    QTimer *m_hideTimer = nullptr;
};

} // namespace qvtoolbar
