#include "jxedit/CoverDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace jxedit {

namespace {
// A few screens of rows: scrolling back and forth reads nothing again.
constexpr int kKept = 600;
} // namespace

CoverDelegate::CoverDelegate(DataLink link, QAbstractItemView *view)
    : QStyledItemDelegate(view), m_store(std::move(link), QString()), m_view(view), m_covers(kKept)
{
    setObjectName(QStringLiteral("covers"));
}

void CoverDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear(); // the cell holds the listing's id: the picture is what is shown
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    bool ok = false;
    const int house = index.data(Qt::DisplayRole).toString().toInt(&ok);
    if (!ok || house <= 0)
        return;
    if (const QPixmap *cover = m_covers.object(house)) {
        if (cover->isNull())
            return;
        const QSize size = cover->size().scaled(option.rect.size() - QSize(4, 4), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(option.rect.center());
        painter->drawPixmap(target, *cover);
        return;
    }
    if (!m_queued.contains(house))
        m_queued.append(house);
    if (!m_scheduled) {
        m_scheduled = true;
        // Every row painted in this pass is read in one statement.
        QTimer::singleShot(0, this, [this] { readQueued(); });
    }
}

void CoverDelegate::readQueued() const
{
    m_scheduled = false;
    const QVector<int> wanted = std::exchange(m_queued, {});
    if (wanted.isEmpty())
        return;
    const auto thumbnails = m_store.covers(wanted);
    if (!thumbnails) {
        // Shown without covers until the grid is read again; a failing
        // connection is reported by the grid's own reading.
        for (int house : wanted)
            m_covers.insert(house, new QPixmap);
        return;
    }
    for (int house : wanted) {
        auto *cover = new QPixmap;
        if (const auto it = thumbnails->constFind(house); it != thumbnails->constEnd()) {
            QPixmap stored;
            // Made to the row's size once, not at every paint.
            if (stored.loadFromData(it.value()))
                *cover = stored.scaledToHeight(kRowHeight - 4, Qt::SmoothTransformation);
        }
        m_covers.insert(house, cover);
    }
    m_read += int(wanted.size());
    m_view->setProperty("coversRead", m_read);
    m_view->viewport()->update();
}

QSize CoverDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(60, kRowHeight));
}

} // namespace jxedit
