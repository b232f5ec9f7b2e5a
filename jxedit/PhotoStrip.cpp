#include "jxedit/PhotoStrip.h"

#include "jxedit/PhotoViewer.h"

#include "platform/MessageBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <utility>

namespace jxedit {

namespace {

using Kind = AttachmentStore::Kind;

constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;
const QSize kThumbnail(160, 120);

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption.endsWith(QStringLiteral("…")) ? caption.chopped(1) : caption);
    return b;
}

bool isPdf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}

// A stored name comes from another workstation: only its last part is used
// for a file here, and nothing that would leave the folder.
QString safeFileName(const QString &stored, int id)
{
    QString name = QFileInfo(QString(stored).replace(u'\\', u'/')).fileName();
    static const QString bad = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : name)
        if (bad.contains(c) || c.unicode() < 32)
            c = u'_';
    if (name.isEmpty() || name == u"." || name == u"..")
        name = QStringLiteral("文件%1").arg(id);
    return name;
}

} // namespace

PhotoStrip::PhotoStrip(DataLink link, QString userName, QWidget *parent)
    : QWidget(parent), m_store(std::move(link), std::move(userName)),
      m_open([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("photoStrip"));
    setAcceptDrops(true);

    auto *photoBox = new QGroupBox(QStringLiteral("照片（第一张为封面）"), this);
    m_photos = new QListWidget(photoBox);
    m_photos->setObjectName(QStringLiteral("photos"));
    m_photos->setAccessibleName(QStringLiteral("照片"));
    m_photos->setViewMode(QListView::IconMode);
    m_photos->setFlow(QListView::LeftToRight);
    m_photos->setWrapping(false);
    m_photos->setMovement(QListView::Static);
    m_photos->setResizeMode(QListView::Adjust);
    m_photos->setIconSize(kThumbnail);
    m_photos->setGridSize(kThumbnail + QSize(16, 36));
    m_photos->setUniformItemSizes(true);
    m_photos->setFixedHeight(kThumbnail.height() + 64);
    m_photos->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_photos->setTextElideMode(Qt::ElideMiddle);
    m_addPhoto = button(QStringLiteral("添加照片…"), QStringLiteral("addPhoto"), photoBox);
    m_view = button(QStringLiteral("查看"), QStringLiteral("viewPhoto"), photoBox);
    m_cover = button(QStringLiteral("设为封面"), QStringLiteral("coverPhoto"), photoBox);
    m_removePhoto = button(QStringLiteral("删除照片"), QStringLiteral("removePhoto"), photoBox);
    auto *photoButtons = new QVBoxLayout;
    for (QPushButton *b : {m_addPhoto, m_view, m_cover, m_removePhoto})
        photoButtons->addWidget(b);
    photoButtons->addStretch(1);
    auto *photoLayout = new QHBoxLayout(photoBox);
    photoLayout->addWidget(m_photos, 1);
    photoLayout->addLayout(photoButtons);

    auto *documentBox = new QGroupBox(QStringLiteral("文件（户型图、产证、PDF）"), this);
    m_documents = new QListWidget(documentBox);
    m_documents->setObjectName(QStringLiteral("documents"));
    m_documents->setAccessibleName(QStringLiteral("文件"));
    m_documents->setIconSize(QSize(32, 24));
    m_documents->setFixedHeight(kThumbnail.height() + 64);
    m_addDocument = button(QStringLiteral("添加文件…"), QStringLiteral("addDocument"), documentBox);
    m_openDocument = button(QStringLiteral("打开"), QStringLiteral("openDocument"), documentBox);
    m_removeDocument = button(QStringLiteral("删除文件"), QStringLiteral("removeDocument"), documentBox);
    auto *documentButtons = new QVBoxLayout;
    for (QPushButton *b : {m_addDocument, m_openDocument, m_removeDocument})
        documentButtons->addWidget(b);
    documentButtons->addStretch(1);
    auto *documentLayout = new QHBoxLayout(documentBox);
    documentLayout->addWidget(m_documents, 1);
    documentLayout->addLayout(documentButtons);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(photoBox, 3);
    layout->addWidget(documentBox, 2);

    connect(m_addPhoto, &QPushButton::clicked, this, [this] { chooseFiles(Kind::Photo); });
    connect(m_addDocument, &QPushButton::clicked, this, [this] { chooseFiles(Kind::Document); });
    connect(m_view, &QPushButton::clicked, this, [this] { viewPhoto(m_photos->currentRow()); });
    connect(m_cover, &QPushButton::clicked, this, [this] { makeCover(); });
    connect(m_removePhoto, &QPushButton::clicked, this, [this] { removeSelected(Kind::Photo); });
    connect(m_openDocument, &QPushButton::clicked, this, [this] { openDocument(m_documents->currentRow()); });
    connect(m_removeDocument, &QPushButton::clicked, this, [this] { removeSelected(Kind::Document); });
    connect(m_photos, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { viewPhoto(m_photos->row(item)); });
    connect(m_documents, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { openDocument(m_documents->row(item)); });
    connect(m_photos, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(m_documents, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    m_photos->installEventFilter(this);
    m_documents->installEventFilter(this);
    // Files dropped on either list land on its viewport.
    acceptDropsOn(this);
    acceptDropsOn(m_photos->viewport());
    acceptDropsOn(m_documents->viewport());
    updateButtons();
}

PhotoStrip::~PhotoStrip() = default;

void PhotoStrip::setListing(int houseId)
{
    m_house = houseId;
    refresh();
}

void PhotoStrip::setEditable(bool editable, const QString &reason)
{
    m_editable = editable;
    m_readOnlyReason = reason;
    updateButtons();
}

void PhotoStrip::refresh()
{
    const int photoRow = m_photos->currentRow(), documentRow = m_documents->currentRow();
    m_photos->clear();
    m_documents->clear();
    if (m_house > 0) {
        const auto photos = m_store.list(m_house, Kind::Photo);
        if (!photos)
            report(QString(), QStringLiteral("读取照片失败：%1").arg(photos.error()));
        const QVector<AttachmentStore::Item> photoItems = photos.valueOr({});
        for (int i = 0; i < photoItems.size(); ++i) {
            const AttachmentStore::Item &it = photoItems.at(i);
            QPixmap thumb;
            thumb.loadFromData(it.thumbnail); // the stored thumbnail, never scaled here
            auto *item = new QListWidgetItem(QIcon(thumb), i == 0 ? QStringLiteral("封面 · %1").arg(it.fileName) : it.fileName);
            item->setData(kIdRole, it.id);
            item->setData(kNameRole, it.fileName);
            item->setToolTip(QStringLiteral("%1\n%2×%3，%4\n%5 添加于 %6")
                                 .arg(it.fileName)
                                 .arg(it.width)
                                 .arg(it.height)
                                 .arg(AttachmentStore::sizeText(it.fileSize), it.addedBy, it.addedAt));
            m_photos->addItem(item);
        }
        const auto documents = m_store.list(m_house, Kind::Document);
        if (!documents)
            report(QString(), QStringLiteral("读取文件失败：%1").arg(documents.error()));
        const QVector<AttachmentStore::Item> documentItems = documents.valueOr({});
        for (const AttachmentStore::Item &it : documentItems) {
            QPixmap thumb;
            thumb.loadFromData(it.thumbnail);
            auto *item = new QListWidgetItem(QStringLiteral("%1（%2）").arg(it.fileName, AttachmentStore::sizeText(it.fileSize)));
            if (!thumb.isNull())
                item->setIcon(QIcon(thumb));
            item->setData(kIdRole, it.id);
            item->setData(kNameRole, it.fileName);
            m_documents->addItem(item);
        }
    }
    m_photos->setCurrentRow(qMin(photoRow, m_photos->count() - 1));
    m_documents->setCurrentRow(qMin(documentRow, m_documents->count() - 1));
    updateButtons();
}

void PhotoStrip::updateButtons()
{
    const QString cannot = m_editable ? QString() : m_readOnlyReason;
    auto allow = [&](QPushButton *b, bool on, const QString &why) {
        b->setEnabled(on);
        b->setToolTip(on ? QString() : why);
    };
    allow(m_addPhoto, m_editable, cannot);
    allow(m_addDocument, m_editable, cannot);
    const bool photo = m_photos->currentRow() >= 0, document = m_documents->currentRow() >= 0;
    allow(m_view, photo, QStringLiteral("请先选择一张照片"));
    allow(m_cover, m_editable && m_photos->currentRow() > 0, m_editable ? QStringLiteral("请选择不是封面的一张照片") : cannot);
    allow(m_removePhoto, m_editable && photo, m_editable ? QStringLiteral("请先选择一张照片") : cannot);
    allow(m_openDocument, document, QStringLiteral("请先选择一个文件"));
    allow(m_removeDocument, m_editable && document, m_editable ? QStringLiteral("请先选择一个文件") : cannot);
}

void PhotoStrip::report(const QString &operation, const QString &status)
{
    if (m_report)
        m_report(operation, status);
}

bool PhotoStrip::ensureSaved()
{
    if (m_house > 0)
        return true;
    if (!m_saveFirst)
        return false;
    if (jx::msgBox(QStringLiteral("这是一套还没有保存的新房源，添加照片或文件前需要先保存。现在保存吗？"),
                   jx::YesNo | jx::Question, QStringLiteral("提示："))
        != jx::Yes)
        return false;
    const int id = m_saveFirst();
    if (id <= 0)
        return false; // the form says why and keeps the typing
    if (m_house != id)
        setListing(id);
    return true;
}

void PhotoStrip::chooseFiles(Kind kind)
{
    if (!m_editable) {
        jx::msgBox(m_readOnlyReason, jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        return;
    }
    if (!ensureSaved())
        return;
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString filter = kind == Kind::Photo ? QStringLiteral("图片 (*.jpg *.jpeg *.png *.bmp *.gif *.webp);;所有文件 (*)")
                                               : QStringLiteral("PDF 文件和图片 (*.pdf *.jpg *.jpeg *.png *.bmp);;所有文件 (*)");
    // Qt's own dialog, so it speaks Chinese through Qt's translations on every desktop.
    const QStringList paths = QFileDialog::getOpenFileNames(this, kind == Kind::Photo ? QStringLiteral("添加照片") : QStringLiteral("添加文件"),
                                                            m_folder, filter, nullptr, QFileDialog::DontUseNativeDialog);
    if (paths.isEmpty())
        return;
    m_folder = QFileInfo(paths.first()).absolutePath();
    addFiles(paths, kind);
}

int PhotoStrip::addFiles(const QStringList &paths, std::optional<Kind> kind)
{
    if (paths.isEmpty())
        return 0;
    if (!m_editable) {
        jx::msgBox(m_readOnlyReason, jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        return 0;
    }
    if (!ensureSaved())
        return 0;
    QStringList refused, added;
    for (const QString &path : paths) {
        const Kind as = kind ? *kind : (isPdf(path) || path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? Kind::Document : Kind::Photo);
        if (const auto id = m_store.add(m_house, as, path); id)
            added << QFileInfo(path).fileName();
        else
            refused << id.error();
    }
    refresh();
    if (!added.isEmpty())
        report(QStringLiteral("添加照片/文件 房源<%1>：%2").arg(m_house).arg(added.join(QStringLiteral("，"))),
               QStringLiteral("已添加 %1 个照片或文件").arg(added.size()));
    if (!refused.isEmpty()) {
        const QString head = added.isEmpty() ? QString() : QStringLiteral("已添加 %1 个，以下没有添加：\n").arg(added.size());
        jx::msgBox(head + refused.join(u'\n'), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
    }
    return int(added.size());
}

bool PhotoStrip::removeSelected(Kind kind)
{
    QListWidget *list = kind == Kind::Photo ? m_photos : m_documents;
    QListWidgetItem *item = list->currentItem();
    if (!item || !m_editable)
        return false;
    const QString name = item->data(kNameRole).toString();
    if (jx::msgBox(QStringLiteral("确定删除%1“%2”吗？删除后不能恢复。").arg(kind == Kind::Photo ? QStringLiteral("照片") : QStringLiteral("文件"), name),
                   jx::YesNo | jx::Question | jx::DefaultButton2, QStringLiteral("提示："))
        != jx::Yes)
        return false;
    const auto removed = m_store.remove(item->data(kIdRole).toInt());
    refresh();
    if (!removed) {
        jx::msgBox(removed.error(), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        return false;
    }
    report(QStringLiteral("删除照片/文件 房源<%1>：%2").arg(m_house).arg(name), QStringLiteral("已删除“%1”").arg(name));
    return true;
}

bool PhotoStrip::makeCover()
{
    QListWidgetItem *item = m_photos->currentItem();
    if (!item || !m_editable)
        return false;
    const QString name = item->data(kNameRole).toString();
    if (const auto moved = m_store.move(item->data(kIdRole).toInt(), 0); !moved) {
        jx::msgBox(moved.error(), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        refresh();
        return false;
    }
    refresh();
    m_photos->setCurrentRow(0);
    report(QStringLiteral("设置封面 房源<%1>：%2").arg(m_house).arg(name),
           QStringLiteral("已设为封面"));
    return true;
}

int PhotoStrip::viewPhoto(int row)
{
    if (row < 0 || row >= m_photos->count())
        return QDialog::Rejected;
    QVector<PhotoViewer::Photo> photos;
    for (int i = 0; i < m_photos->count(); ++i)
        photos.append({m_photos->item(i)->data(kIdRole).toInt(), m_photos->item(i)->data(kNameRole).toString()});
    PhotoViewer viewer(
        photos, row,
        [this](int id) { return m_store.content(id); },
        window());
    return viewer.exec();
}

bool PhotoStrip::openDocument(int row)
{
    if (row < 0 || row >= m_documents->count())
        return false;
    QListWidgetItem *item = m_documents->item(row);
    const int id = item->data(kIdRole).toInt();
    const auto read = m_store.content(id);
    const QByteArray bytes = read.valueOr({});
    if (bytes.isEmpty()) {
        jx::msgBox(read ? QStringLiteral("这个文件没有内容") : read.error(), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        return false;
    }
    if (!m_opened || !m_opened->isValid())
        m_opened = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("jx-files-XXXXXX")));
    // Each document in a folder of its own, so two with one name never overwrite each other.
    const QString folder = m_opened->filePath(QString::number(id));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(safeFileName(item->data(kNameRole).toString(), id));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        jx::msgBox(QStringLiteral("无法写入临时文件：%1").arg(file.errorString()), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
        return false;
    }
    file.close();
    if (!m_open(QUrl::fromLocalFile(path))) {
        jx::msgBox(QStringLiteral("没有找到可以打开“%1”的程序").arg(item->data(kNameRole).toString()), jx::OKOnly | jx::Exclamation,
                   QStringLiteral("提示："));
        return false;
    }
    return true;
}

void PhotoStrip::acceptDropsOn(QWidget *target)
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool PhotoStrip::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (drag->mimeData()->hasUrls() && m_editable) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList paths;
        for (const QUrl &url : drop->mimeData()->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
        if (!paths.isEmpty()) {
            drop->acceptProposedAction();
            // Dropped on the document list: documents; anywhere else each file by what it is.
            addFiles(paths, watched == m_documents->viewport() ? std::optional<Kind>(Kind::Document) : std::nullopt);
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && (watched == m_photos || watched == m_documents)) {
            removeSelected(watched == m_photos ? Kind::Photo : Kind::Document);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace jxedit
