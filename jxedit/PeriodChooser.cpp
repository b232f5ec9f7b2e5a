#include "jxedit/PeriodChooser.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <iterator>

namespace jxedit {

namespace {

constexpr Period::Quick kQuickChoices[] = {Period::Quick::ThisMonth, Period::Quick::LastMonth, Period::Quick::ThisQuarter,
                                           Period::Quick::ThisYear};

QDateEdit *dateEdit(const QString &name, const QString &caption, QWidget *parent)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(caption);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

PeriodChooser::PeriodChooser(const QDate &today, QWidget *parent)
    : QWidget(parent), m_today(today), m_quick(new QComboBox(this)), m_from(dateEdit(QStringLiteral("periodFrom"), QStringLiteral("开始日期"), this)),
      m_to(dateEdit(QStringLiteral("periodTo"), QStringLiteral("结束日期"), this))
{
    setObjectName(QStringLiteral("periodChooser"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_quick->setObjectName(QStringLiteral("periodQuick"));
    m_quick->setAccessibleName(QStringLiteral("统计期间"));
    // The last entry stands for dates the user chose himself.
    m_quick->addItems({QStringLiteral("本月"), QStringLiteral("上月"), QStringLiteral("本季"), QStringLiteral("本年"), QStringLiteral("自定义")});
    auto *caption = new QLabel(QStringLiteral("统计期间"), this);
    caption->setBuddy(m_quick);
    row->addWidget(caption);
    row->addWidget(m_quick);
    row->addWidget(new QLabel(QStringLiteral("从"), this));
    row->addWidget(m_from);
    row->addWidget(new QLabel(QStringLiteral("至"), this));
    row->addWidget(m_to);
    auto *run = new QPushButton(QStringLiteral("统计"), this);
    run->setObjectName(QStringLiteral("periodRun"));
    run->setAccessibleName(QStringLiteral("统计"));
    run->setToolTip(QStringLiteral("按所选期间统计 (Ctrl+Return)"));
    run->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    row->addWidget(run);
    row->addStretch(1);
    setPeriod(Period::quick(Period::Quick::ThisMonth, today));

    connect(m_quick, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= int(std::size(kQuickChoices)))
            return;
        setPeriod(Period::quick(kQuickChoices[index], m_today));
        emit requested();
    });
    // Dates changed by hand make the period the user's own.
    for (QDateEdit *edit : {m_from, m_to})
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (!m_setting)
                m_quick->setCurrentIndex(m_quick->count() - 1);
        });
    connect(run, &QPushButton::clicked, this, &PeriodChooser::requested);
}

Period PeriodChooser::period() const { return {m_from->date(), m_to->date()}; }

void PeriodChooser::setPeriod(const Period &period)
{
    m_setting = true;
    m_from->setDate(period.from);
    m_to->setDate(period.to);
    int shown = m_quick->count() - 1;
    for (int i = 0; i < int(std::size(kQuickChoices)); ++i)
        if (Period::quick(kQuickChoices[i], m_today) == period)
            shown = i;
    m_quick->setCurrentIndex(shown);
    m_setting = false;
}

} // namespace jxedit
