#include "controls/HelpViewer.h"

#include "ui_HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

namespace qvcontrols {

namespace {

struct ContentsEntry
{
    QString caption;
    QUrl url;
};

// The local HTML pages the contents page links to, in order, each once.
// The page is read by Qt's own HTML reader: a link is a run of text whose
// format carries its target, however the markup around it is written.
QList<ContentsEntry> contentsOf(const QString &file, const QUrl &base)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QTextDocument page;
    page.setHtml(QString::fromUtf8(f.readAll()));
    QList<ContentsEntry> entries;
    QSet<QUrl> seen;
    QString href, caption;
    const auto finishLink = [&] {
        const QUrl target = base.resolved(QUrl(href.trimmed())).adjusted(QUrl::RemoveFragment);
        const QString suffix = QFileInfo(target.toLocalFile()).suffix().toLower();
        if (!href.isEmpty() && !href.startsWith(u'#') && target.isLocalFile() && (suffix == u"html" || suffix == u"htm") && !seen.contains(target)) {
            seen.insert(target);
            entries.push_back({caption.simplified(), target});
        }
        href.clear();
        caption.clear();
    };
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString target = fragment.charFormat().isAnchor() ? fragment.charFormat().anchorHref() : QString();
            if (target != href)
                finishLink();
            href = target;
            if (!href.isEmpty())
                caption += fragment.text();
        }
        finishLink();
    }
    return entries;
}

} // namespace

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::HelpViewer>())
{
    m_ui->setupUi(this);
    m_ui->splitter->setStretchFactor(1, 3);
    connect(m_ui->cmdBack, &QPushButton::clicked, this, &HelpViewer::Back);
    connect(m_ui->cmdForward, &QPushButton::clicked, this, &HelpViewer::Forward);
    connect(m_ui->cmdContents, &QPushButton::clicked, this, [this] { ShowEntry(0); });
    connect(m_ui->lstContents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ShowEntry(row);
    });
    connect(m_ui->txtPage, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
    connect(m_ui->txtPage, &QTextBrowser::backwardAvailable, m_ui->cmdBack, &QPushButton::setEnabled);
    connect(m_ui->txtPage, &QTextBrowser::forwardAvailable, m_ui->cmdForward, &QPushButton::setEnabled);
    m_ui->cmdBack->setEnabled(false);
    m_ui->cmdForward->setEnabled(false);
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::OpenContents(const QString &path)
{
    QFileInfo info(path);
    if (info.isDir()) {
        const QDir dir(path);
        info = QFileInfo(dir.filePath(QStringLiteral("index.html")));
        if (!info.isFile())
            info = QFileInfo(dir.filePath(QStringLiteral("index.htm")));
    }
    if (!info.isFile())
        return false;
    m_contents = QUrl::fromLocalFile(info.absoluteFilePath());
    const QSignalBlocker block(m_ui->lstContents);
    m_ui->lstContents->clear();
    auto *top = new QListWidgetItem(QStringLiteral("目录"), m_ui->lstContents);
    top->setData(Qt::UserRole, m_contents);
    for (const ContentsEntry &e : contentsOf(info.absoluteFilePath(), m_contents)) {
        auto *item = new QListWidgetItem(e.caption.isEmpty() ? e.url.fileName() : e.caption, m_ui->lstContents);
        item->setData(Qt::UserRole, e.url);
    }
    m_ui->txtPage->setSearchPaths({info.absolutePath()});
    m_ui->txtPage->setSource(m_contents);
    m_ui->lstContents->setCurrentRow(0);
    return true;
}

QUrl HelpViewer::CurrentPage() const
{
    return m_ui->txtPage->source();
}

QStringList HelpViewer::ContentsCaptions() const
{
    QStringList captions;
    for (int i = 0; i < m_ui->lstContents->count(); ++i)
        captions << m_ui->lstContents->item(i)->text();
    return captions;
}

void HelpViewer::ShowEntry(int row)
{
    QListWidgetItem *item = m_ui->lstContents->item(row);
    if (!item)
        return;
    const QUrl url = item->data(Qt::UserRole).toUrl();
    if (url != m_ui->txtPage->source())
        m_ui->txtPage->setSource(url);
}

void HelpViewer::Back() { m_ui->txtPage->backward(); }
void HelpViewer::Forward() { m_ui->txtPage->forward(); }
bool HelpViewer::CanGoBack() const { return m_ui->txtPage->isBackwardAvailable(); }
bool HelpViewer::CanGoForward() const { return m_ui->txtPage->isForwardAvailable(); }

void HelpViewer::pageChanged(const QUrl &url)
{
    setWindowTitle(QStringLiteral("系统帮助 - ") + m_ui->txtPage->documentTitle());
    // Keep the contents list on the page shown, whichever way it was reached.
    const QSignalBlocker block(m_ui->lstContents);
    for (int i = 0; i < m_ui->lstContents->count(); ++i) {
        if (m_ui->lstContents->item(i)->data(Qt::UserRole).toUrl().adjusted(QUrl::RemoveFragment)
            == url.adjusted(QUrl::RemoveFragment)) {
            m_ui->lstContents->setCurrentRow(i);
            return;
        }
    }
}

} // namespace qvcontrols
