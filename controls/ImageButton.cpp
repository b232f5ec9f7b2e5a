#include "controls/ImageButton.h"

#include <QEnterEvent>

namespace qvcontrols {

namespace {
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t kButtonText = static_cast<int32_t>(0x80000012);
constexpr int32_t kHoverAmber = 0x8CD5FF; // a warm highlight, as group bars use
} // namespace

ImageButton::ImageButton(QWidget *parent)
    : QAbstractButton(parent)
    , TwipsGeometry(this)
    , m_backColor(kButtonFace)
    , m_foreColor(kButtonText)
    , m_hoverColor(kHoverAmber)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] {
        emit Click(m_index);
        emit Event(QStringLiteral("Click"), {m_index});
    });
}

void ImageButton::setCaption(const QString &caption)
{
    setText(caption);
    // Screen readers should not read the leading blanks used for spacing.
    setAccessibleName(caption.trimmed());
    update();
}

void ImageButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void ImageButton::setBackColor(int32_t ole) { m_backColor = ole; update(); }
void ImageButton::setForeColor(int32_t ole) { m_foreColor = ole; update(); }
void ImageButton::setHoverColor(int32_t ole) { m_hoverColor = ole; update(); }
void ImageButton::setBorderStyle(int style) { m_borderStyle = style == 0 ? 0 : 1; update(); }

void ImageButton::CopyAppearance(const ImageButton &other)
{
    m_backColor = other.m_backColor;
    m_foreColor = other.m_foreColor;
    m_hoverColor = other.m_hoverColor;
    m_borderStyle = other.m_borderStyle;
    update();
}

QSize ImageButton::sizeHint() const
{
    const int pic = m_picture.isNull() ? 0 : m_picture.width() + 4;
    return {fontMetrics().horizontalAdvance(text()) + pic + 12, std::max(fontMetrics().height(), m_picture.height()) + 8};
}

void ImageButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace qvcontrols
