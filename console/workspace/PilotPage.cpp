#include "console/workspace/PilotPage.h"

#include "components/context/AppContext.h"
#include "controls/ControlArray.h"
#include "controls/PictureLoader.h"
#include "controls/qvArrow.h"
#include "controls/qvPilot_S.h"
#include "controls/zLibControl.h"
#include "components/data/Database.h"
#include "components/xml/XmlDocument.h"
#include "console/config/bCommon.h"
#include "console/support/b64.h"
#include "console/workspace/bFiles.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/TempFiles.h"
#include "platform/com/RuntimeError.h"
#include "platform/ErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <vector>

namespace jx {

namespace {

using qvcontrols::ControlArray;
using qvcontrols::qvArrow;
using qvcontrols::qvPilot_S;

const QString kSource = QStringLiteral("PilotPage");

// Diagram coordinates are in units of 57 twips, offset from the page's corner.
constexpr int kScale = 57;
constexpr int kOffsetLeft = 1000;
constexpr int kOffsetTop = 1500;
constexpr int kMaxDiagramElements = PilotPage::kMaxElements;

QString quoted(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

bool isDir(const QString &path)
{
    return QFileInfo(LocalPath(path)).isDir();
}

// Names come from the database and from diagram files: they may only ever
// name a file directly inside their cache folder.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

void requirePlainFileName(const QString &name)
{
    if (!isPlainFileName(name))
        throw com::RuntimeError(75, kSource, QStringLiteral("“%1”不能用作缓存文件名").arg(name));
}

void makeFolder(QString folder)
{
    if (!isDir(folder) && !MakeFolders(folder))
        throw com::RuntimeError(76, kSource, QStringLiteral("无法创建文件夹“%1”").arg(folder));
}

// An attribute the build cannot do without: absent raises "无效使用 Null".
QVariant required(const XmlElement &element, const char *name)
{
    QVariant v = element.attribute(name);
    if (v.isNull())
        throw com::RuntimeError::of(94, kSource);
    return v;
}

double number(const QVariant &v)
{
    return val(toText(v));
}

int32_t long32(const QVariant &v)
{
    return clng(number(v), kSource);
}

int16_t int16(const QVariant &v)
{
    return cint(number(v), kSource);
}

// The elements "/blocks/<group>/<member>[i]" selects for i = 0, 1, ...: the
// i-th member of the first group that has that many. Walked forward, so the
// whole list costs one pass instead of a pass per member.
class PositionalWalk final
{
public:
    PositionalWalk(const XmlElement &root, const char *group, const char *member)
        : m_member(member)
    {
        if (root.name() != QLatin1String("blocks"))
            return;
        for (XmlElement g = root.firstChild(group); g; g = g.nextSibling(group))
            m_groups.push_back(g);
    }

    // The member at the next position; a null element after the last.
    XmlElement next()
    {
        ++m_position;
        if (m_current)
            m_current = m_current.nextSibling(m_member);
        // The group ran out: the position is taken from the next group long enough.
        while (!m_current && m_nextGroup < m_groups.size())
            m_current = nth(m_groups[m_nextGroup++], m_position);
        return m_current;
    }

private:
    XmlElement nth(const XmlElement &group, int position) const
    {
        XmlElement e = group.firstChild(m_member);
        for (int k = 0; e && k < position; ++k)
            e = e.nextSibling(m_member);
        return e;
    }

    const char *m_member;
    std::vector<XmlElement> m_groups;
    size_t m_nextGroup = 0;
    XmlElement m_current;
    int m_position = -1;
};

// The list of a diagram ends at the first member without its key attribute.
int countMembers(const XmlElement &root, const char *group, const char *member, const char *key)
{
    PositionalWalk walk(root, group, member);
    int n = 0;
    while (!walk.next().attribute(key).isNull())
        ++n;
    return n;
}

} // namespace

struct PilotPage::Impl
{
    Impl(AppContext &c, QWidget *page, Opener o)
        : context(c)
        , picTable(page)
        , open(std::move(o))
        , pilot0(new qvPilot_S(page))
        , arrow0(new qvArrow(page))
        , qvPilot(pilot0)
        , qvArrowArray(arrow0)
    {
        // The design-time elements: templates only, never shown.
        pilot0->hide();
        arrow0->hide();
        qvPilot.setOnLoad([this](qvPilot_S *node) {
            QObject::connect(node, &qvPilot_S::Click, node, [this, node](int) {
                if (open)
                    open(node->Tag());
            });
        });
    }
    ~Impl()
    {
        delete pilot0.data();
        delete arrow0.data();
    }

    QString tempPath() const { return context.Environment().TempPath(); }
    void renew(const Recordset &rs, const QString &file);
    void buildArrow(const XmlElement &element, int i);
    void buildNode(const XmlElement &element, int j);

    AppContext &context;
    QPointer<QWidget> picTable;
    Opener open;
    QPointer<qvPilot_S> pilot0;
    QPointer<qvArrow> arrow0;
    ControlArray<qvPilot_S> qvPilot;
    ControlArray<qvArrow> qvArrowArray;
    qvcontrols::zLibControl zLibControl1;
};

PilotPage::PilotPage(AppContext &context, QWidget *picTable, Opener open)
    : d(std::make_unique<Impl>(context, picTable, std::move(open)))
{
}

PilotPage::~PilotPage()
{
    ClearDynamicControls();
}

void PilotPage::Impl::renew(const Recordset &rs, const QString &file)
{
    const QVariant contents = rs.Fields(QStringLiteral("contents"));
    if (val(toText(rs.Fields(QStringLiteral("iscompress")))) != 1) {
        if (!SaveFieldToFile(LocalPath(file), contents, true))
            throw com::RuntimeError(75, kSource, QStringLiteral("无法写入“%1”").arg(file));
        return;
    }
    // The archive holds the diagram under the row's file name. It is unpacked
    // into a folder of its own beside the cached copy, so no entry can replace
    // another diagram's copy, and whatever else it held goes with that folder.
    const QString entry = toText(rs.Fields(QStringLiteral("filename")));
    requirePlainFileName(entry);
    const QString local = LocalPath(file);
    QTemporaryDir staging(QFileInfo(local).absolutePath() + QStringLiteral("/.unpack-XXXXXX"));
    const QString tmp = staging.isValid() ? createTempFileName(QStringLiteral("tmp")) : QString();
    if (tmp.isEmpty())
        throw com::RuntimeError(75, kSource, QStringLiteral("无法创建临时文件"));
    const bool saved = SaveFieldToFile(LocalPath(tmp), contents, true);
    const bool extracted = saved && zLibControl1.ExtractArchive(tmp, staging.path(), false, true, false, true, false, true);
    QFile::remove(LocalPath(tmp));
    if (!saved)
        throw com::RuntimeError(75, kSource, QStringLiteral("无法写入“%1”").arg(tmp));
    if (!extracted)
        throw com::RuntimeError(75, kSource, zLibControl1.LastError());

    // Stored names are matched without regard to case, as everywhere in the product.
    const QString unpacked = LocalPath(staging.path() + QStringLiteral("/") + entry);
    if (!QFileInfo(unpacked).isFile())
        throw com::RuntimeError(53, kSource, QStringLiteral("%1：%2").arg(com::errorText(53), entry));
    QFile::remove(local);
    if (!QFile::rename(unpacked, local))
        throw com::RuntimeError(75, kSource, QStringLiteral("无法写入“%1”").arg(file));
}

bool PilotPage::LoadPilot(const QString &menuCode)
{
    ClearDynamicControls();
    try {
        ::Database *db = d->context.Database();
        if (!db)
            throw com::RuntimeError::of(com::errors::ObjectVariableNotSet, kSource);
        Recordset rs = db->Query(QStringLiteral("SELECT filename,iscompress,contents,filesize FROM xt_menuPilot WHERE type=0 and menuCode='")
                                     + quoted(menuCode) + QStringLiteral("'"),
                                 1)
                           .Recordset();
        if (rs.Eof()) {
            rs.Close();
            return false;
        }
        // Without a temporary folder the cache would land in the file system's root.
        if (d->tempPath().trimmed().isEmpty())
            throw com::RuntimeError(76, kSource, QStringLiteral("没有设置临时文件夹"));
        makeFolder(d->tempPath() + QStringLiteral("\\menu"));
        const QString cacheName = menuCode + QStringLiteral(".mnu");
        requirePlainFileName(cacheName);
        const QString file = d->tempPath() + QStringLiteral("\\menu\\") + cacheName;

        // Renewed by size only: a changed diagram of the same length keeps its old copy.
        const QFileInfo cached(LocalPath(file));
        if (!cached.isFile() || static_cast<double>(cached.size()) != number(rs.Fields(QStringLiteral("filesize"))))
            d->renew(rs, file);
        rs.Close();

        XmlDocument doc;
        int flags = 99;
        doc.Initialize(flags);
        if (doc.Load(file, 0)) {
            BuildPilot(toText(doc.GetXml(QStringLiteral("/print/page/blocks"))));
            return true;
        }
        msgBox(QStringLiteral("读取导航窗口文件时格式错误！"), Critical, QStringLiteral("错误"));
    } catch (const std::exception &e) {
        msgBox(QStringLiteral("加载导航窗口文件，原因：") + errorText(e), Critical, QStringLiteral("错误"));
    }
    return false;
}

void PilotPage::Impl::buildArrow(const XmlElement &element, int i)
{
    qvArrow *arrow = qvArrowArray.Load(i + 1);
    const auto attr = [&](const char *name) { return element.attribute(name); };
    arrow->Move(clng(kScale * number(attr("left")) + kOffsetLeft, kSource),
                clng(kScale * number(attr("top")) + kOffsetTop, kSource),
                clng(kScale * number(attr("width")), kSource), clng(kScale * number(attr("height")), kSource));
    arrow->ZOrder(0);
    arrow->setForeColor(long32(attr("forecolor")));
    arrow->setArrowDirection(long32(required(element, "arrowdirection")));
    arrow->setAppearance(long32(required(element, "appearance")));
    arrow->setBackColor(long32(attr("backcolor")));
    arrow->setConstantAlpha(long32(required(element, "constantalpha")));
    arrow->setBorderStyle(int16(required(element, "borderstyle")));
    arrow->setShadowLength(long32(required(element, "shadowlength")));
    arrow->setShadowStep(long32(required(element, "shadowstep")));
    arrow->setVisible(true);
}

void PilotPage::Impl::buildNode(const XmlElement &element, int j)
{
    const auto attr = [&](const char *name) { return element.attribute(name); };
    qvPilot_S *node = qvPilot.Load(j + 1);
    const QString caption = b64::DecodeEncodedWord(toText(attr("caption")));
    node->setCaption(caption);
    node->Move(clng(kScale * number(attr("left")) + kOffsetLeft, kSource),
               clng(kScale * number(attr("top")) + kOffsetTop, kSource),
               clng(kScale * number(attr("width")), kSource), clng(kScale * number(attr("height")), kSource));
    node->ZOrder(0);
    node->setCaption(caption);
    node->setIconSize(int16(attr("iconsize")));
    node->setRightToLeft(attr("righttoleft"));
    node->setTextAlign(long32(required(element, "textalign")));
    node->setTag(toText(element.firstChild("menu").attribute("code")));

    // Icons are cached by name and shared between diagrams; once written, never renewed.
    const XmlElement icon = element.firstChild("icon");
    const QString name = FileNameFromPath(b64::DecodeEncodedWord(toText(icon.attribute("filename"))), false);
    if (isPlainFileName(name)) {
        const QString picture = tempPath() + QStringLiteral("\\images\\") + name;
        QString local = LocalPath(picture);
        if (!QFileInfo::exists(local)) {
            makeFolder(tempPath() + QStringLiteral("\\images"));
            b64::Base64DecodeToFile(picture, toText(icon.text()));
            local = LocalPath(picture);
        }
        node->setPicture(qvcontrols::PictureLoader::LoadPicture(local));
    }
    node->setVisible(true);
}

void PilotPage::BuildPilot(const QString &blocksXml)
{
    if (trimBlanks(blocksXml).isEmpty() || !d->picTable)
        return;
    XmlDocument doc;
    int flags = 99;
    doc.Initialize(flags);
    if (!doc.LoadXml(blocksXml, 0))
        return;
    const XmlElement root = doc.DocumentElement();
    // Counted first, so the notice can say how many there are; nothing
    // beyond the limit is built, arrows (built first) counting with nodes.
    const int arrowCount = countMembers(root, "arrows", "arrow", "left");
    const int nodeCount = countMembers(root, "pilots", "pilot", "caption");
    const int arrowsBuilt = std::min(arrowCount, kMaxDiagramElements);
    const int nodesBuilt = std::min(nodeCount, kMaxDiagramElements - arrowsBuilt);
    try {
        PositionalWalk arrows(root, "arrows", "arrow");
        for (int i = 0; i < arrowsBuilt; ++i)
            d->buildArrow(arrows.next(), i);
        PositionalWalk pilots(root, "pilots", "pilot");
        for (int j = 0; j < nodesBuilt; ++j)
            d->buildNode(pilots.next(), j);
    } catch (const std::exception &e) {
        // What was built so far stays on the page.
        msgBox(QStringLiteral("读取文件过程中出错误，原因：") + errorText(e), Exclamation, QStringLiteral("错误："));
        return;
    }
    const qint64 total = qint64(arrowCount) + nodeCount;
    if (total > kMaxDiagramElements)
        msgBox(QStringLiteral("导航图的节点太多（共 %1 个），只显示前 %2 个").arg(total).arg(kMaxDiagramElements), Exclamation,
               QStringLiteral("提示："));
}

void PilotPage::ClearDynamicControls()
{
    d->qvPilot.UnloadAll();
    d->qvArrowArray.UnloadAll();
}

} // namespace jx
