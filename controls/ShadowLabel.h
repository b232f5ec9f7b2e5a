#pragma once

#include "jx_controls_export.h"

#include "controls/TwipsGeometry.h"

#include <QVariantList>
#include <QWidget>

#include <cstdint>

namespace qvcontrols {

// qvLabel.ShadowLabel: a caption drawn with a soft drop shadow. With AutoSize
// (the default) its width follows the caption, so a host can line labels up
// by their widths. Alignment: 0 left, 1 right, 2 centre.
class JX_CONTROLS_EXPORT ShadowLabel final : public QWidget, public TwipsGeometry
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(int Index READ Index WRITE setIndex)
public:
    explicit ShadowLabel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t ole);
    int32_t ShadowColor() const { return m_shadowColor; }
    void setShadowColor(int32_t ole);
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    QSize sizeHint() const override;

signals:
    void Click(int index);
    void Event(const QString &name, const QVariantList &params);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fit();

    QString m_caption;
    int32_t m_foreColor = 0x000000;
    int32_t m_shadowColor = 0xC0C0C0;
    int m_alignment = 0;
    bool m_autoSize = true;
    int m_index = 0;
};

} // namespace qvcontrols
