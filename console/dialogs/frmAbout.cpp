#include "console/dialogs/frmAbout.h"

#include "ui_frmAbout.h"

#include "components/context/AppContext.h"
#include "controls/dLinkLabel.h"
#include "components/data/Database.h"
#include "console/config/bCommon.h"
#include "console/config/clsConfig.h"
#include "console/log/Logger.h"
#include "console/startup/bMain.h"
#include "console/support/SystemInfoTool.h"
#include "console/support/clsRegistryAccess.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/widgets/Ui.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPixmap>
#include <QPointer>
#include <QProcess>

#include <algorithm>
#include <exception>

// The console's pictures live in its static library; make sure they are linked in.
static void initConsoleResources() { Q_INIT_RESOURCE(console); }

namespace jx {

namespace {

const QString kMain = QStringLiteral("main");

// Runs one load step; a failing step is skipped and the next one runs.
template<typename Body>
void step(Body &&body)
{
    try {
        body();
    } catch (const std::exception &) {
    }
}

QString captionText(const QAbstractButton *button) { return QString(button->text()).remove(QLatin1Char('&')); }

// The shortening of one part by one step: the last two characters become
// "..", or, once it ends in ".", one more character goes before the dots.
QString shortened(const QString &part)
{
    if (!part.endsWith(QLatin1Char('.')))
        return part.size() <= 2 ? QStringLiteral("..") : part.left(part.size() - 2) + QStringLiteral("..");
    return part.left(std::max<qsizetype>(0, part.size() - 3)) + QStringLiteral("..");
}

QString reversed(QString text)
{
    std::reverse(text.begin(), text.end());
    return text;
}

} // namespace

frmAbout::frmAbout(AppContext &context, clsConfig &config, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmAbout>())
    , m_context(context)
    , m_config(config)
    , m_launcher([](const QString &program) { return QProcess::startDetached(program, {}); })
{
    initConsoleResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(ui->CmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdInfo, &QPushButton::clicked, this, &frmAbout::ShowSystemInfo);
    LoadForm();
}

frmAbout::~frmAbout() = default;

void frmAbout::setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

void frmAbout::setProgramSearchPath(const QStringList &folders) { m_searchPath = folders; }

QLabel *frmAbout::lblVersion() const { return ui->lblVersion; }
QLabel *frmAbout::lblPath() const { return ui->lblPath; }
qvcontrols::dLinkLabel *frmAbout::dlnkPath() const { return ui->dlnkPath; }
qvcontrols::dLinkLabel *frmAbout::dlnkWeb() const { return ui->dlnkWeb; }
QLabel *frmAbout::lblTitle(int index) const { return index == 0 ? ui->lblTitle_0 : ui->lblTitle_1; }
QLabel *frmAbout::lblProduct() const { return ui->lblProduct; }
QLabel *frmAbout::lblDescription() const { return ui->lblDescription; }
QLabel *frmAbout::lblDisclaimer() const { return ui->lblDisclaimer; }
QLabel *frmAbout::ImgLogo() const { return ui->ImgLogo; }
QPushButton *frmAbout::CmdOK() const { return ui->CmdOK; }
QPushButton *frmAbout::cmdInfo() const { return ui->cmdInfo; }

QString frmAbout::text(const QString &key, const QString &defaultText) const
{
    try {
        return m_context.GetText(kMain, key, defaultText);
    } catch (const std::exception &) {
        return defaultText;
    }
}

frmAbout::Fitted frmAbout::FitPath(const QString &path, int width, const std::function<int(const QString &)> &measure,
                                   const std::function<void()> &pending)
{
    const QChar separator = path.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    QStringList parts = path.split(separator);
    Fitted result;
    QString joined = path;
    const qsizetype last = parts.size() - 1;
    // From the last folder before the final name backwards; the first part stays.
    qsizetype current = last - 1;
    bool finalReversed = false;
    if (current < 1 && last >= 1) {
        current = last;
        parts[last] = reversed(parts[last]);
        finalReversed = true;
    }
    auto shown = [&] {
        if (!finalReversed)
            return parts.join(separator);
        QStringList copy = parts;
        copy[last] = reversed(copy[last]);
        return copy.join(separator);
    };
    while (measure(joined) > width) {
        // Nothing left to shorten: the final name is down to "..".
        if (current < 1 || (finalReversed && parts.at(current) == QStringLiteral(".."))) {
            result.text = joined;
            return result;
        }
        parts[current] = shortened(parts.at(current));
        ++result.steps;
        joined = shown();
        if (parts.at(current).startsWith(QLatin1Char('.')) && !finalReversed) {
            if (current == 1) {
                current = last;
                parts[last] = reversed(parts[last]);
                finalReversed = true;
            } else {
                --current;
            }
        }
        if (pending)
            pending();
    }
    result.text = joined;
    result.fits = true;
    return result;
}

// Only SQL Server's edition is shown; any other engine gets no line and no statement.
QString frmAbout::serverVersion() const
{
    ::Database *db = m_context.Database();
    if (!db)
        return QString();
    const QString driver = toText(db->Properties(QStringLiteral("driver")));
    if (driver == QStringLiteral("mssql")) {
        return QStringLiteral("SQL Server ")
            + toText(db->Query(QStringLiteral("SELECT cast(SERVERPROPERTY ('edition') as nvarchar) ")
                               + QStringLiteral("+ ' '+ cast(SERVERPROPERTY('productversion') as nvarchar)+'('+")
                               + QStringLiteral("cast(SERVERPROPERTY ('productlevel') as nvarchar) +')'"))
                         .Value());
    }
    return QString();
}

void frmAbout::LoadForm()
{
    step([&] {
        ui->lblVersion->setText(text(QStringLiteral("/frmabout/version"), QStringLiteral("版本")) + QLatin1Char(':')
                                + QString::number(ProgramVersionMajor()) + QLatin1Char('.') + QString::number(ProgramVersionMinor())
                                + QLatin1Char('.') + QString::number(ProgramVersionRevision()));
    });
    step([&] {
        const QString edition = SettingsStore::getSetting(m_config.Caption(), kMain, QStringLiteral("ISVERSION"));
        if (!edition.isEmpty()) {
            WriteLog(QStringLiteral("安装版本：") + edition, LogProgress);
            ui->lblVersion->setText(ui->lblVersion->text() + QLatin1Char(' ')
                                    + text(QStringLiteral("/frmabout/isversion"), QStringLiteral("安装版本:")) + QLatin1Char(' ') + edition);
        }
    });
    step([&] {
        const QString folder = AppPath();
        ui->lblPath->setToolTip(folder);
        ui->dlnkPath->setToolTip(folder);
        const QFontMetrics metrics(font());
        const int width = ui->lblPath->width();
        // Pending events run between the steps; the window may be gone after them.
        QPointer<frmAbout> self(this);
        const Fitted fitted = FitPath(text(QStringLiteral("/frmabout/runpath"), QStringLiteral("安装目录:")) + folder, width,
                                      [&](const QString &t) { return metrics.horizontalAdvance(t); }, [] { doEvents(); });
        if (!self)
            return;
        // Even fully shortened it is too wide: show the shortest text elided.
        const QString caption = fitted.fits ? fitted.text : metrics.elidedText(fitted.text, Qt::ElideMiddle, width);
        ui->lblPath->setText(caption);
        ui->dlnkPath->setCaption(caption);
        ui->dlnkPath->setLink(folder);
    });
    step([&] {
        const QString webhome = m_config.XML() ? toText(m_config.XML()->GetValue(QStringLiteral("//configuration/system/webhome"))) : QString();
        ui->dlnkWeb->setCaption(text(QStringLiteral("/frmabout/web"), QStringLiteral("升级网站:") + webhome));
        ui->dlnkWeb->setLink(text(QStringLiteral("/frmabout/weburl"), webhome));
    });
    step([&] {
        const QString title = text(QStringLiteral("/frmabout/title"), m_config.Caption());
        ui->lblTitle_0->setText(title);
        ui->lblTitle_1->setText(title);
    });
    step([&] {
        ui->lblProduct->setText(text(QStringLiteral("/frmabout/program"), QStringLiteral("程序制作")) + QStringLiteral("：")
                                + text(QStringLiteral("/main/copyright"), QStringLiteral("简衡软件")));
    });
    step([&] { ui->lblDescription->setText(text(QStringLiteral("/filedescription"), ProgramInfo::fileDescription())); });
    step([&] {
        const QString server = serverVersion();
        if (!server.isEmpty())
            ui->lblDescription->setText(ui->lblDescription->text() + QLatin1Char('\n') + server);
    });
    step([&] {
        ui->lblDisclaimer->setText(text(QStringLiteral("/main/legalcopyright"), ProgramInfo::copyright()) + QLatin1Char(' ')
                                   + text(QStringLiteral("/main/legaltrademarks"), ProgramInfo::trademarks()));
    });
    step([&] {
        const QString logo = ExpandPath(text(QStringLiteral("/logo"), QString()), false);
        QPixmap picture;
        if (!logo.isEmpty() && QFileInfo::exists(LocalPath(logo)) && picture.load(LocalPath(logo))) {
            ui->ImgLogo->setPixmap(picture);
        } else if (!ui->lblProduct->text().contains(QStringLiteral("简衡"))) {
            ui->ImgLogo->hide();
            for (QLabel *title : {ui->lblTitle_0, ui->lblTitle_1})
                title->move(ui->ImgLogo->x(), title->y());
        }
    });
    step([&] {
        ui->CmdOK->setText(text(QStringLiteral("/frmabout/cmdok"), ui->CmdOK->text()));
        ui->cmdInfo->setText(text(QStringLiteral("/frmabout/cmdsysteminfo"), ui->cmdInfo->text()));
    });
    for (QPushButton *b : {ui->CmdOK, ui->cmdInfo})
        b->setAccessibleName(captionText(b));
    ui->dlnkWeb->setAccessibleName(ui->dlnkWeb->Caption());
    ui->dlnkPath->setAccessibleName(ui->dlnkPath->Caption());
}

void frmAbout::ShowSystemInfo()
{
    try {
        // This desktop registers no such program itself: looked for each time, never stored.
        const QString tool = FindSystemInfoTool(KnownSystemInfoPrograms(), m_searchPath);
        if (!tool.isEmpty() && m_launcher(LocalPath(tool)))
            return;
        const QString location = clsRegistryAccess().ReadString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
                                                     QStringLiteral("MSINFO"), QString());
        if (!location.isEmpty()) {
            const QString program = LocalPath(location + QStringLiteral("\\MSINFO32.EXE"));
            if (QFileInfo::exists(program) && m_launcher(program))
                return;
        }
    } catch (const std::exception &) {
    }
    msgBox(QStringLiteral("此时系统信息不可用"), OKOnly);
}

} // namespace jx
