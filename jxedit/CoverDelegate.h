#pragma once

#include "jxedit/AttachmentStore.h"

#include <QCache>
#include <QPixmap>
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace jxedit {

/// Paints a listing's cover photo in a grid column of type 'thumbnail' whose
/// field is the listing's id. Covers are read from the stored thumbnails only
/// for the rows the view paints, many in one statement, and kept in a bounded
/// cache; the grid itself never holds them. The number of covers read so far
/// is the view's dynamic property "coversRead".
class CoverDelegate final : public QStyledItemDelegate
{
public:
    CoverDelegate(DataLink link, QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    /// Lets go of the database (the function is closing).
    void detach() { m_store.detach(); }

    /// Row height a grid with covers uses.
    static constexpr int kRowHeight = 46;

private:
    void readQueued() const;

    AttachmentStore m_store;
    QAbstractItemView *m_view;
    mutable QCache<int, QPixmap> m_covers; // a null pixmap: the listing has no photo
    mutable QVector<int> m_queued;
    mutable bool m_scheduled = false;
    mutable int m_read = 0;
};

} // namespace jxedit
