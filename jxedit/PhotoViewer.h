#pragma once

#include "platform/com/Result.h"

#include <QDialog>
#include <QPixmap>
#include <QVector>

#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;

namespace jxedit {

/// Shows a listing's photos one at a time, from their stored display copies:
/// next and previous with the arrow keys, zoom with +/- or the wheel, Esc closes.
class PhotoViewer final : public QDialog
{
public:
    struct Photo
    {
        int id = 0;
        QString fileName;
    };
    /// Reads the display copy of one photo, or the reason it cannot.
    using Loader = std::function<jx::Result<QByteArray>(int id)>;

    PhotoViewer(QVector<Photo> photos, int current, Loader loader, QWidget *parent = nullptr);

    int current() const { return m_current; }
    double zoom() const { return m_zoom; }
    /// The picture as loaded, unzoomed (null when it could not be read).
    const QPixmap &picture() const { return m_picture; }
    void showPhoto(int index);
    void step(int delta);
    void zoomBy(double factor);
    /// Fits the picture into the window.
    void fit();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    QVector<Photo> m_photos;
    Loader m_loader;
    int m_current = -1;
    double m_zoom = 1.0;
    bool m_fitted = true;
    QPixmap m_picture;
    QScrollArea *m_scroll;
    QLabel *m_image;
    QLabel *m_caption;
    QPushButton *m_previous;
    QPushButton *m_next;
};

} // namespace jxedit
