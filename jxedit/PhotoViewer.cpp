#include "jxedit/PhotoViewer.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <utility>

namespace jxedit {

namespace {

constexpr double kLeastZoom = 0.1;
constexpr double kMostZoom = 8.0;
constexpr double kZoomStep = 1.25;

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    b->setAutoDefault(false);
    // The arrow keys belong to the pictures, not to moving between buttons.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

PhotoViewer::PhotoViewer(QVector<Photo> photos, int current, Loader loader, QWidget *parent)
    : QDialog(parent), m_photos(std::move(photos)), m_loader(std::move(loader))
{
    setWindowTitle(QStringLiteral("查看照片"));
    setAccessibleName(QStringLiteral("查看照片"));
    setObjectName(QStringLiteral("photoViewer"));
    resize(1000, 720);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_image = new QLabel(m_scroll);
    m_image->setObjectName(QStringLiteral("picture"));
    m_image->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_image);
    m_scroll->viewport()->installEventFilter(this);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("caption"));

    m_previous = button(QStringLiteral("上一张"), QStringLiteral("previous"), this);
    m_next = button(QStringLiteral("下一张"), QStringLiteral("next"), this);
    QPushButton *smaller = button(QStringLiteral("缩小"), QStringLiteral("zoomOut"), this);
    QPushButton *larger = button(QStringLiteral("放大"), QStringLiteral("zoomIn"), this);
    QPushButton *fitted = button(QStringLiteral("适合窗口"), QStringLiteral("fit"), this);
    QPushButton *close = button(QStringLiteral("关闭"), QStringLiteral("close"), this);
    m_previous->setToolTip(QStringLiteral("上一张（←）"));
    m_next->setToolTip(QStringLiteral("下一张（→）"));
    smaller->setToolTip(QStringLiteral("缩小（-）"));
    larger->setToolTip(QStringLiteral("放大（+ 或滚轮）"));
    close->setToolTip(QStringLiteral("关闭（Esc）"));
    connect(m_previous, &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
    connect(smaller, &QPushButton::clicked, this, [this] { zoomBy(1 / kZoomStep); });
    connect(larger, &QPushButton::clicked, this, [this] { zoomBy(kZoomStep); });
    connect(fitted, &QPushButton::clicked, this, [this] { fit(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(smaller);
    buttons->addWidget(larger);
    buttons->addWidget(fitted);
    buttons->addStretch(1);
    buttons->addWidget(m_caption);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(buttons);
    setFocusPolicy(Qt::StrongFocus);
    // Whichever button has the focus, the arrows step and the keys zoom:
    // a focused button would otherwise take the arrows to move the focus.
    const auto key = [this](const QKeySequence &sequence, auto &&action) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::Key_Left), [this] { step(-1); });
    key(QKeySequence(Qt::Key_PageUp), [this] { step(-1); });
    key(QKeySequence(Qt::Key_Right), [this] { step(1); });
    key(QKeySequence(Qt::Key_PageDown), [this] { step(1); });
    key(QKeySequence(Qt::Key_Home), [this] { showPhoto(0); });
    key(QKeySequence(Qt::Key_End), [this] { showPhoto(int(m_photos.size()) - 1); });
    key(QKeySequence(Qt::Key_Plus), [this] { zoomBy(kZoomStep); });
    key(QKeySequence(Qt::Key_Equal), [this] { zoomBy(kZoomStep); });
    key(QKeySequence(Qt::Key_Minus), [this] { zoomBy(1 / kZoomStep); });
    key(QKeySequence(Qt::Key_0), [this] { fit(); });
    showPhoto(current);
}

void PhotoViewer::showPhoto(int index)
{
    if (m_photos.isEmpty())
        return;
    m_current = qBound(0, index, int(m_photos.size()) - 1);
    const Photo &photo = m_photos.at(m_current);
    QString why;
    QByteArray bytes;
    if (m_loader) {
        if (auto loaded = m_loader(photo.id))
            bytes = std::move(*loaded);
        else
            why = loaded.error();
    }
    m_picture = QPixmap();
    if (!bytes.isEmpty() && !m_picture.loadFromData(bytes))
        why = QStringLiteral("照片无法显示");
    m_caption->setText(QStringLiteral("%1 / %2　%3").arg(m_current + 1).arg(m_photos.size()).arg(photo.fileName));
    m_image->setAccessibleName(QStringLiteral("照片 %1").arg(photo.fileName));
    if (m_picture.isNull())
        m_image->setText(why.isEmpty() ? QStringLiteral("照片无法显示") : why);
    m_previous->setEnabled(m_current > 0);
    m_next->setEnabled(m_current + 1 < m_photos.size());
    m_fitted = true;
    render();
}

void PhotoViewer::step(int delta)
{
    const int target = m_current + delta;
    if (target >= 0 && target < m_photos.size())
        showPhoto(target);
}

void PhotoViewer::zoomBy(double factor)
{
    m_fitted = false;
    m_zoom = qBound(kLeastZoom, m_zoom * factor, kMostZoom);
    render();
}

void PhotoViewer::fit()
{
    m_fitted = true;
    render();
}

void PhotoViewer::render()
{
    if (m_picture.isNull()) {
        // The label says why there is no picture; its text replaced any earlier one.
        m_image->adjustSize();
        return;
    }
    if (m_fitted) {
        const QSize room = m_scroll->viewport()->size() - QSize(4, 4);
        const double w = double(room.width()) / m_picture.width(), h = double(room.height()) / m_picture.height();
        // A small picture is shown at its size, not blown up.
        m_zoom = qBound(kLeastZoom, qMin(1.0, qMin(w, h)), kMostZoom);
    }
    const QSize shown = (QSizeF(m_picture.size()) * m_zoom).toSize();
    m_image->setPixmap(m_picture.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_image->resize(shown);
}

void PhotoViewer::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        step(-1);
        return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        step(1);
        return;
    case Qt::Key_Home:
        showPhoto(0);
        return;
    case Qt::Key_End:
        showPhoto(int(m_photos.size()) - 1);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(kZoomStep);
        return;
    case Qt::Key_Minus:
        zoomBy(1 / kZoomStep);
        return;
    case Qt::Key_0:
        fit();
        return;
    default:
        QDialog::keyPressEvent(event); // Esc closes
    }
}

bool PhotoViewer::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport gets its size only once the dialog is laid out and shown:
    // a fitted picture is fitted again then, not left at the size of before.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_fitted)
        render();
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (delta != 0)
            zoomBy(delta > 0 ? kZoomStep : 1 / kZoomStep);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PhotoViewer::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_fitted)
        render();
}

} // namespace jxedit
