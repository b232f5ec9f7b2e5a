#include "console/dialogs/frmSplash.h"

#include "platform/Numeric.h"
#include "console/config/bCommon.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

#include <exception>
#include <pwd.h>
#include <unistd.h>

namespace jx {

frmSplash::frmSplash(ConsoleSession &session, QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_session(session)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmSplash"));
    resize(480, 300);
    m_img = new QLabel(this);
    m_img->setObjectName(QStringLiteral("Img"));
    m_img->setScaledContents(true);
    m_img->setGeometry(0, 0, 480, 300);
    m_img->hide();
    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(QStringLiteral("简衡系统"), this);
    caption->setObjectName(QStringLiteral("lblProductName_B"));
    caption->setAlignment(Qt::AlignCenter);
    m_productNames.append(caption);
    m_user = new QLabel(this);
    m_user->setObjectName(QStringLiteral("lblUser"));
    m_right = new QLabel(QStringLiteral("警告:"), this);
    m_right->setObjectName(QStringLiteral("lblRight"));
    m_version = new QLabel(QStringLiteral("版本"), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    layout->addStretch(1);
    layout->addWidget(caption);
    layout->addStretch(1);
    layout->addWidget(m_user);
    layout->addWidget(m_right);
    layout->addWidget(m_version);
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        close();
    });
    // A box opened under a window that stays on top is never seen: the
    // splash hides while one is up and comes back unless it closed meanwhile.
    m_previousBoxHandler = setMessageBoxHandler(MessageBoxHandler());
    setMessageBoxHandler(
        [splash = QPointer<frmSplash>(this), previous = m_previousBoxHandler](const QString &text, int style,
                                                                           const QString &title) {
            const bool aside = splash && splash->isVisible();
            if (aside)
                splash->hide();
            const int answer = previous ? previous(text, style, title) : showMessageBox(text, style, title);
            if (aside && splash) {
                splash->show();
                splash->raise();
            }
            return answer;
        });
}

frmSplash::~frmSplash()
{
    setMessageBoxHandler(std::move(m_previousBoxHandler));
}

frmSplash::CaptionSize frmSplash::CaptionSizeFor(int length)
{
    if (length < 9)
        return {21.75, 29};
    if (length <= 12)
        return {16.75, 23};
    if (length <= 16)
        return {14.75, 20};
    return {12.75, 18};
}

std::optional<int> frmSplash::OpacityPercent(const QVariant &splashAlpha)
{
    if (splashAlpha.isNull())
        return std::nullopt;
    try {
        const int32_t value = clng(val(toText(splashAlpha)));
        if (value < 0 || value > 255)
            return std::nullopt; // does not fit a byte: the step is skipped
        return value > 100 ? 100 : value;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

QString frmSplash::AccountName()
{
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name).left(255);
    return QString::fromLocal8Bit(qgetenv("USER")).left(255);
}

QString frmSplash::text(const QString &key, const QString &defaultText) const
{
    try {
        if (m_session.AppContext())
            return m_session.AppContext()->GetText(QStringLiteral("main"), key, defaultText);
    } catch (const std::exception &) {
    }
    return defaultText;
}

void frmSplash::LoadForm()
{
    m_timer.stop();
    clsConfig *config = m_session.Config();
    try {
        const QString background = config ? config->Background_splash() : QString();
        if (!trimBlanks(background).isEmpty()) {
            const QString file = LocalPath(ExpandPath(background, false));
            QPixmap picture;
            if (QFileInfo::exists(file) && picture.load(file)) {
                m_img->setPixmap(picture);
                m_img->setGeometry(rect());
                m_img->lower();
                m_img->show();
            }
        }
    } catch (const std::exception &) {
    }
    const QString account = AccountName();
    m_user->setText(account.isEmpty() ? QString() : text(QStringLiteral("/splash/user"), QStringLiteral("使用权属于: ")) + account);
    m_right->setText(text(QStringLiteral("/splash/right"), QStringLiteral("版权所有:"))
                     + text(QStringLiteral("/main/copyright"), QStringLiteral("简衡软件")));
    m_version->setText(text(QStringLiteral("/splash/version"), QStringLiteral("版本 ")) + QString::number(ProgramVersionMajor())
                       + QLatin1Char('.') + QString::number(ProgramVersionMinor()));
    try {
        if (config && config->XML()) {
            const std::optional<int> percent = OpacityPercent(config->XML()->GetValue(QStringLiteral("//configuration/system/settings/splashalpha")));
            if (percent) {
                m_opacity = *percent;
                SetWindowOpacity(this, *percent);
            }
        }
    } catch (const std::exception &) {
    }
    const QString caption = config ? config->Caption() : QString();
    const CaptionSize size = CaptionSizeFor(int(caption.size()));
    for (QLabel *label : m_productNames) {
        label->setText(caption);
        label->setFixedHeight(size.height);
        QFont font = label->font();
        font.setPointSizeF(size.fontSize);
        label->setFont(font);
    }
    update();
}

} // namespace jx
