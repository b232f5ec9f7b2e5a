#pragma once

#include "jxedit/AttachmentStore.h"

#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QListWidget;
class QPushButton;

namespace jxedit {

/// A listing's photos as a strip of their stored thumbnails (the first is the
/// cover) and its documents as a list, with adding by the file dialog or by
/// dropping files, removing with confirmation, choosing the cover, the photo
/// viewer and opening a document in the desktop's program.
class PhotoStrip final : public QWidget
{
public:
    PhotoStrip(DataLink link, QString userName, QWidget *parent = nullptr);
    ~PhotoStrip() override;

    /// Shows listing `houseId`'s attachments; 0 for a listing not saved yet.
    void setListing(int houseId);
    int listing() const { return m_house; }
    /// Whether the user may add and remove (his right to change the listing); `reason` shown when not.
    void setEditable(bool editable, const QString &reason = QString());
    /// Saves a new listing when files are added to it; the saved listing's id, or 0.
    void setSaveFirst(std::function<int()> save) { m_saveFirst = std::move(save); }
    /// Called with a line for the operation log and one for the status bar.
    void setReporter(std::function<void(const QString &operation, const QString &status)> report) { m_report = std::move(report); }
    /// How a document is handed to the desktop (QDesktopServices by default).
    void setOpener(std::function<bool(const QUrl &)> open) { m_open = std::move(open); }
    /// Files go in the folder where the dialog starts next time (the user's choice is kept).
    void setStartFolder(const QString &folder) { m_folder = folder; }

    /// Adds files: as `kind`, or each by what it is (a PDF a document, anything
    /// else a photo). Refusals are shown together; the number added.
    int addFiles(const QStringList &paths, std::optional<AttachmentStore::Kind> kind = std::nullopt);
    /// Removes the selected photo or document after asking; false when nothing was removed.
    bool removeSelected(AttachmentStore::Kind kind);
    /// Makes the selected photo the cover.
    bool makeCover();
    /// Opens the viewer at photo `row`; the viewer's result.
    int viewPhoto(int row);
    /// Writes document `row` to a temporary file and opens it.
    bool openDocument(int row);
    void refresh();
    /// Lets go of the database: the control goes first and its host's database may follow before this widget.
    void detach() { m_store.detach(); }
    /// Lets files be dropped on `target` (the whole form) as well as on the strip.
    void acceptDropsOn(QWidget *target);

    QListWidget *photos() const { return m_photos; }
    QListWidget *documents() const { return m_documents; }
    AttachmentStore &store() { return m_store; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseFiles(AttachmentStore::Kind kind);
    bool ensureSaved();
    void updateButtons();
    void report(const QString &operation, const QString &status);

    AttachmentStore m_store;
    int m_house = 0;
    bool m_editable = true;
    QString m_readOnlyReason;
    QString m_folder;
    std::function<int()> m_saveFirst;
    std::function<void(const QString &, const QString &)> m_report;
    std::function<bool(const QUrl &)> m_open;
    std::unique_ptr<QTemporaryDir> m_opened; // copies of opened documents, removed with the strip
    QListWidget *m_photos;
    QListWidget *m_documents;
    QPushButton *m_addPhoto;
    QPushButton *m_view;
    QPushButton *m_cover;
    QPushButton *m_removePhoto;
    QPushButton *m_addDocument;
    QPushButton *m_openDocument;
    QPushButton *m_removeDocument;
};

} // namespace jxedit
