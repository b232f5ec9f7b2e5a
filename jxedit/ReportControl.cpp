#include "jxedit/ReportControl.h"

#include "jxedit/ParameterSet.h"
#include "jxedit/PeriodChooser.h"
#include "jxedit/ReportDocument.h"

#include "platform/MessageBox.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/LateBound.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace jxedit {

namespace {
struct ParamSpec
{
    QString field, kind;
};

QVector<ParamSpec> specsOf(const QString &text)
{
    QVector<ParamSpec> specs;
    for (const QString &part : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList bits = part.split(u':');
        specs.append({bits.value(0).trimmed(), bits.value(1, QStringLiteral("text")).trimmed()});
    }
    return specs;
}

const QString kPeriodMarker = QStringLiteral("{period}");
} // namespace

ReportControl::ReportControl(bool withParameters) : m_withParameters(withParameters), m_view(new QTextBrowser(page()))
{
    m_view->setAccessibleName(QStringLiteral("报表"));
    body()->addWidget(m_view, 1);
    QObject::connect(addCommand(QStringLiteral("refresh"), QStringLiteral("刷新"), QKeySequence::Refresh), &QAction::triggered,
                     m_view, [this] { refresh(); });
    QObject::connect(addCommand(QStringLiteral("preview"), QStringLiteral("打印预览"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)),
                     &QAction::triggered, m_view, [this] { preview(); });
    QObject::connect(addCommand(QStringLiteral("print"), QStringLiteral("打印"), QKeySequence::Print), &QAction::triggered, m_view,
                     [this] { print(); });
    QObject::connect(addCommand(QStringLiteral("export"), QStringLiteral("导出PDF"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
                     &QAction::triggered, m_view, [this] {
                         const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/'
                             + m_def.title + QStringLiteral(".pdf");
                         const QString path = QFileDialog::getSaveFileName(page(), QStringLiteral("导出PDF"), suggested,
                                                                           QStringLiteral("PDF 文件 (*.pdf)"));
                         if (path.isEmpty())
                             return;
                         if (const auto done = exportPdf(path); !done)
                             jx::msgBox(done.error(), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
                     });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, m_view, [this] { requestUnload(); });
    members().add(QStringLiteral("ExportPdf"), [this](const com::DispArgs &a) {
        if (!allowed(Right::Print)) {
            showError(refusal(Right::Print));
            return com::Variant::fromBool(false);
        }
        const auto done = exportPdf(com::argText(a, 0));
        if (!done)
            showError(done.error());
        return com::Variant::fromBool(bool(done));
    });
    members().add(QStringLiteral("Refresh"), [this](const com::DispArgs &) { return com::Variant::fromBool(refresh()); });
    members().add(QStringLiteral("ReportText"), [this](const com::DispArgs &) { return com::Variant::fromString(reportText()); });
    members().add(QStringLiteral("ParameterSet"), [this](const com::DispArgs &) { return com::Variant::fromDispatch(m_set.get()); });
}

bool ReportControl::start(const com::DispArgs &a)
{
    auto loaded = FunctionDefinition::load(link(), progId());
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    m_def = std::move(loaded).value();
    for (const char *command : {"preview", "print", "export"})
        allowCommand(QString::fromLatin1(command), allowed(Right::Print), refusal(Right::Print));
    m_caption = !m_withParameters && a.size() > 3 ? com::toQVariant(*a[3]).toString().trimmed() : QString();
    if (m_caption.isEmpty())
        m_caption = m_def.title;
    buildPeriodChooser();
    if (m_withParameters) {
        if (a.size() > 3) {
            VARIANT *arg = a[3];
            if (IDispatch *given = com::asDispatch(*arg)) {
                m_set = com::ComPtr<IDispatch>(given);
            } else {
                m_set = com::ComPtr<IDispatch>(com::asDispatch(com::newObject<ParameterSet>()));
                // Hand the set back through the by-reference argument, as the host expects.
                if ((arg->vt & VT_BYREF) && arg->pvarVal && (arg->vt & ~VT_BYREF) == VT_VARIANT) {
                    com::Variant fresh = com::Variant::fromDispatch(m_set.get());
                    VariantClear(arg->pvarVal);
                    *arg->pvarVal = fresh.detach();
                } else if (arg->vt == (VT_DISPATCH | VT_BYREF) && arg->ppdispVal) {
                    if (*arg->ppdispVal)
                        (*arg->ppdispVal)->Release();
                    m_set->AddRef();
                    *arg->ppdispVal = m_set.get();
                }
            }
        } else {
            m_set = com::ComPtr<IDispatch>(com::asDispatch(com::newObject<ParameterSet>()));
        }
        buildParameterPanel();
    }
    return refresh();
}

void ReportControl::buildPeriodChooser()
{
    for (const ParamSpec &p : specsOf(m_def.params))
        if (p.kind == u"period")
            m_periodField = p.field;
    if (m_periodField.isEmpty())
        return;
    m_period = new PeriodChooser(operationDate(), page());
    QObject::connect(m_period, &PeriodChooser::requested, m_view, [this] { refresh(); });
    body()->insertWidget(1, m_period);
}

void ReportControl::buildParameterPanel()
{
    m_panel = new QWidget(page());
    auto *row = new QHBoxLayout(m_panel);
    row->setContentsMargins(0, 0, 0, 0);
    for (const ParamSpec &p : specsOf(m_def.params)) {
        if (p.kind == u"period")
            continue;
        const int c = m_def.columnIndex(p.field);
        const QString caption = c >= 0 ? m_def.columns.at(c).caption : p.field;
        // A value already in the parameter object is the starting value.
        auto initial = [&](const QString &name) {
            try {
                return com::toQVariant(com::call(m_set.get(), QStringLiteral("Item"), {com::Variant::fromString(name)})).toString();
            } catch (const com::RuntimeError &) {
                return QString();
            }
        };
        if (p.kind == u"daterange") {
            for (const auto &[suffix, label] : {std::pair{QStringLiteral("_from"), QStringLiteral("从")}, std::pair{QStringLiteral("_to"), QStringLiteral("到")}}) {
                auto *edit = new QLineEdit(initial(p.field + suffix), m_panel);
                edit->setObjectName(QStringLiteral("param_") + p.field + suffix);
                edit->setPlaceholderText(QStringLiteral("年-月-日"));
                edit->setAccessibleName(caption + label);
                edit->setMaximumWidth(110);
                row->addWidget(new QLabel(caption + label, m_panel));
                row->addWidget(edit);
            }
        } else if (p.kind == u"choice" && c >= 0) {
            auto *box = new QComboBox(m_panel);
            box->setObjectName(QStringLiteral("param_") + p.field);
            box->setAccessibleName(caption);
            box->addItem(QString());
            box->addItems(m_def.columns.at(c).choices);
            box->setCurrentText(initial(p.field));
            row->addWidget(new QLabel(caption, m_panel));
            row->addWidget(box);
        } else {
            auto *edit = new QLineEdit(initial(p.field), m_panel);
            edit->setObjectName(QStringLiteral("param_") + p.field);
            edit->setAccessibleName(caption);
            edit->setMaximumWidth(120);
            row->addWidget(new QLabel(caption, m_panel));
            row->addWidget(edit);
        }
    }
    auto *run = new QPushButton(QStringLiteral("查询"), m_panel);
    run->setObjectName(QStringLiteral("run"));
    run->setAccessibleName(QStringLiteral("查询"));
    run->setToolTip(QStringLiteral("查询 (Ctrl+Return)"));
    run->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    QObject::connect(run, &QPushButton::clicked, m_view, [this] { refresh(); });
    row->addWidget(run);
    row->addStretch(1);
    body()->insertWidget(1, m_panel);
}

QString ReportControl::conditions(QString &sql, QVariantList &params) const
{
    QStringList shown, where;
    for (const ParamSpec &p : specsOf(m_def.params)) {
        const int c = m_def.columnIndex(p.field);
        const QString caption = c >= 0 ? m_def.columns.at(c).caption : p.field;
        if (p.kind == u"period") {
            continue;
        } else if (p.kind == u"daterange") {
            const auto *from = m_panel->findChild<QLineEdit *>(QStringLiteral("param_") + p.field + QStringLiteral("_from"));
            const auto *to = m_panel->findChild<QLineEdit *>(QStringLiteral("param_") + p.field + QStringLiteral("_to"));
            if (from && !from->text().trimmed().isEmpty()) {
                where << p.field + QStringLiteral(">=?");
                params << from->text().trimmed();
                shown << caption + QStringLiteral("从 ") + from->text().trimmed();
            }
            if (to && !to->text().trimmed().isEmpty()) {
                where << p.field + QStringLiteral("<=?");
                params << to->text().trimmed();
                shown << caption + QStringLiteral("到 ") + to->text().trimmed();
            }
        } else if (const auto *box = m_panel->findChild<QComboBox *>(QStringLiteral("param_") + p.field)) {
            if (!box->currentText().isEmpty()) {
                where << p.field + QStringLiteral("=?");
                params << box->currentText();
                shown << caption + QStringLiteral("：") + box->currentText();
            }
        } else if (const auto *edit = m_panel->findChild<QLineEdit *>(QStringLiteral("param_") + p.field)) {
            if (!edit->text().trimmed().isEmpty()) {
                where << p.field + QStringLiteral(" like ?");
                params << QStringLiteral("%") + edit->text().trimmed() + QStringLiteral("%");
                shown << caption + QStringLiteral("：") + edit->text().trimmed();
            }
        }
    }
    if (!where.isEmpty())
        sql = QStringLiteral("select * from (%1) q where %2").arg(sql, where.join(QStringLiteral(" and ")));
    return shown.join(QStringLiteral("，"));
}

void ReportControl::storeParameters()
{
    if (!m_set || !m_panel)
        return;
    const auto edits = m_panel->findChildren<QLineEdit *>();
    const auto boxes = m_panel->findChildren<QComboBox *>();
    auto add = [this](const QString &name, const QString &value) {
        com::call(m_set.get(), QStringLiteral("Add"),
                  {com::Variant::fromInt32(0), com::Variant::fromInt32(0), com::Variant::fromInt32(0), com::Variant::fromString(name),
                   com::Variant::fromString(value), com::Variant::fromInt32(203), com::Variant::fromInt32(0)});
    };
    for (const QLineEdit *e : edits)
        add(e->objectName().mid(6), e->text().trimmed());
    for (const QComboBox *b : boxes)
        add(b->objectName().mid(6), b->currentText());
}

bool ReportControl::refresh()
{
    QString sql = m_def.listSql;
    QVariantList params;
    QString periodText;
    if (m_period) {
        // A period that cannot be counted by is refused; the report shown stays.
        const Period period = m_period->period();
        if (const auto checked = period.check(); !checked) {
            showError(checked.error());
            return false;
        }
        periodText = period.caption();
        const QString test = QStringLiteral("%1>=? and %1<=?").arg(m_periodField);
        if (const qsizetype n = sql.count(kPeriodMarker); n > 0) {
            sql.replace(kPeriodMarker, u'(' + test + u')');
            for (qsizetype i = 0; i < n; ++i)
                params << period.fromText() << period.toText();
        } else {
            sql = QStringLiteral("select * from (%1) q where %2").arg(sql, test);
            params << period.fromText() << period.toText();
        }
    }
    hideError();
    const QString shown = m_panel ? conditions(sql, params) : QString();
    if (m_panel) {
        try {
            storeParameters();
        } catch (const com::RuntimeError &e) {
            showError(QStringLiteral("无法保存报表参数：%1").arg(e.description()));
        }
    }
    const auto read = link().select(sql, params, DataLink::Origin::Definition);
    if (!read) {
        showError(QStringLiteral("报表查询出错：%1").arg(read.error()));
        m_view->clear();
        return false;
    }
    const DataLink::Rows &rows = *read;
    for (const ColumnDef &c : m_def.columns)
        if (!rows.columns.isEmpty() && !rows.columns.contains(c.field, Qt::CaseInsensitive)) {
            showError(QStringLiteral("功能定义有误：列“%1”（%2）在查询结果中不存在").arg(c.field, c.caption));
            m_view->clear();
            return false;
        }
    const ReportDocument::Head head{m_caption, companyName(), shown, operationDate(), periodText};
    m_runningHead = ReportDocument::runningHead(head);
    m_view->setHtml(ReportDocument::html(head, m_def, rows));
    m_view->document()->setMetaInformation(QTextDocument::DocumentTitle, m_caption);
    sendMessage(QStringLiteral("%1：共 %2 行").arg(m_caption).arg(rows.rows.size()));
    return true;
}

QString ReportControl::reportText() const { return m_view->toPlainText(); }

jx::Result<> ReportControl::exportPdf(const QString &path)
{
    std::unique_ptr<QTextDocument> copy(m_view->document()->clone());
    if (const auto written = ReportDocument::writePdf(*copy, path, m_runningHead); !written)
        return written;
    sendMessage(QStringLiteral("已导出到 %1").arg(path));
    return {};
}

void ReportControl::preview()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, page());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, m_view, [this](QPrinter *p) {
        std::unique_ptr<QTextDocument> copy(m_view->document()->clone());
        if (const auto painted = ReportDocument::paint(*copy, *p, m_runningHead); !painted)
            showError(painted.error());
    });
    dialog.exec();
}

void ReportControl::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, page());
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::unique_ptr<QTextDocument> copy(m_view->document()->clone());
    if (const auto painted = ReportDocument::paint(*copy, printer, m_runningHead); !painted)
        jx::msgBox(QStringLiteral("打印失败：%1").arg(painted.error()), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
}

} // namespace jxedit
