#include "toolbar/control/ppgToolbar.h"

#include "platform/com/RuntimeError.h"
#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/ToolbarColors.h"
#include "ui_ppgToolbar.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>

namespace qvtoolbar {

namespace {
const QString kHint = QStringLiteral("提示");

bool isEditing(const QWidget *w)
{
    return w->property("tag").toString() == QLatin1String("E");
}
} // namespace

ppgToolbar::ppgToolbar(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ppgToolbar>())
{
    ui->setupUi(this);
    ui->cboType->setProperty("tag", QStringLiteral("E"));
    ui->btnAction_1->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    ui->btnAction_2->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    ui->btnAction_3->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    ui->lblHdr_0->setBuddy(ui->txtField_0);
    ui->lblHdr_1->setBuddy(ui->cboType);
    ui->lblHdr_2->setBuddy(ui->txtField_1);
    ui->lblHdr_3->setBuddy(ui->txtField_2);

    ui->cboType->addItems({QStringLiteral("按钮"), QStringLiteral("分隔条")});
    for (int size : {16, 24, 32, 48, 64, 128})
        ui->CboIconSize->addItem(QString::number(size), size);
    ui->CboBtnAlign->addItems({QStringLiteral("图标居左文字居右"), QStringLiteral("图标居右文字居左"),
                               QStringLiteral("图标居上文字居下"), QStringLiteral("图标居下文字居上")});
    ui->CboState->addItems({QStringLiteral("正常"), QStringLiteral("落下"), QStringLiteral("挤压"), QStringLiteral("下压"),
                            QStringLiteral("选中"), QStringLiteral("禁止")});
    ui->cboStyle->addItems({QStringLiteral("正常按钮"), QStringLiteral("复选按钮"), QStringLiteral("下拉按钮")});
    ui->hsbIDX->setRange(0, 0);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    ui->buttonBox->button(QDialogButtonBox::Apply)->setText(QStringLiteral("应用(&A)"));
    for (QAbstractButton *b : ui->buttonBox->buttons())
        b->setAccessibleName(b->text());

    connect(ui->hsbIDX, &QScrollBar::valueChanged, this, [this](int v) { LoadPosition(v); });
    connect(ui->btnAction_0, &QAbstractButton::clicked, this, &ppgToolbar::AddClicked);
    connect(ui->btnAction_1, &QAbstractButton::clicked, this, &ppgToolbar::DeleteClicked);
    connect(ui->btnAction_2, &QAbstractButton::clicked, this, [this] { MoveClicked(false); });
    connect(ui->btnAction_3, &QAbstractButton::clicked, this, [this] { MoveClicked(true); });
    connect(ui->cboType, &QComboBox::currentIndexChanged, this, &ppgToolbar::TypeChanged);
    connect(ui->cboStyle, &QComboBox::currentIndexChanged, this, &ppgToolbar::StyleChanged);
    for (QComboBox *c : {ui->CboIconSize, ui->CboBtnAlign, ui->CboState})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { SetChanged(true); });
    for (QCheckBox *c : {ui->chkCheck, ui->chkUseMask})
        connect(c, &QAbstractButton::toggled, this, [this] { SetChanged(true); });
    for (QLineEdit *t : {ui->txtField_1, ui->txtField_2, ui->txtField_3, ui->txtField_4})
        connect(t, &QLineEdit::textChanged, this, [this] { SetChanged(true); });
    for (QLineEdit *t : {ui->txtField_0, ui->txtField_1, ui->txtField_2, ui->txtField_3, ui->txtField_4})
        t->installEventFilter(this);
    connect(ui->btnBrowse_0, &QAbstractButton::clicked, this, &ppgToolbar::BrowsePicture);
    connect(ui->btnClear, &QAbstractButton::clicked, this, [this] {
        SetPreview(nullptr);
        SetChanged(true);
    });
    connect(ui->cmdBrowse, &QAbstractButton::clicked, this, &ppgToolbar::BrowseColour);
    connect(ui->cmdBrowseFont, &QAbstractButton::clicked, this, &ppgToolbar::BrowseFont);
    connect(ui->cmdForeColor, &QAbstractButton::clicked, this, &ppgToolbar::BrowseForeColour);
    connect(ui->buttonBox->button(QDialogButtonBox::Apply), &QAbstractButton::clicked, this,
            &ppgToolbar::ApplyChanges);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, [this] {
        // A refused edit keeps the page open with what was typed.
        if (m_changed && !ApplyChanges())
            return;
        accept();
    });
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    SetSwatch(m_swatch);
    EnableEditing(false);
    SetChanged(false);
}

ppgToolbar::~ppgToolbar() = default;

void ppgToolbar::Message(const QString &text, QMessageBox::Icon icon, const QString &title)
{
    if (m_showMessage) {
        m_showMessage(text, icon, title);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.exec();
}

void ppgToolbar::SetChanged(bool changed)
{
    m_changed = changed;
    ui->buttonBox->button(QDialogButtonBox::Apply)->setEnabled(changed);
}

void ppgToolbar::EnableEditing(bool enabled)
{
    for (QWidget *w : findChildren<QWidget *>())
        if (isEditing(w))
            w->setEnabled(enabled);
}

void ppgToolbar::EnableProperties(bool enabled)
{
    for (QWidget *w : findChildren<QWidget *>())
        if (isEditing(w) && w != ui->cboType)
            w->setEnabled(enabled);
    if (enabled)
        ui->chkCheck->setEnabled(ui->cboStyle->currentIndex() > 0);
}

void ppgToolbar::SelectionChanged(const QList<QObject *> &selected)
{
    NavToolbar *bar = selected.isEmpty() ? nullptr : qobject_cast<NavToolbar *>(selected.first());
    if (bar && bar != m_control) {
        m_control = bar;
        m_index = 0;
        const int count = bar->Buttons().Count();
        if (count == 0) {
            EnableEditing(false);
            const QSignalBlocker block(ui->hsbIDX);
            ui->hsbIDX->setRange(0, 0);
        } else {
            {
                const QSignalBlocker block(ui->hsbIDX);
                ui->hsbIDX->setRange(1, count);
                ui->hsbIDX->setValue(1);
            }
            LoadPosition(ui->hsbIDX->value());
        }
    }
    SetChanged(false);
}

void ppgToolbar::ShowPosition(int32_t position)
{
    const int count = m_control ? m_control->Buttons().Count() : 0;
    {
        const QSignalBlocker block(ui->hsbIDX);
        ui->hsbIDX->setRange(count > 0 ? 1 : 0, count);
        ui->hsbIDX->setValue(position);
    }
    LoadPosition(position);
}

void ppgToolbar::LoadPosition(int32_t position)
{
    if (!m_control)
        return;
    if (m_changed && !ApplyChanges()) {
        // The edits of the position being left were refused: stay there so
        // that nothing typed is lost.
        const QSignalBlocker block(ui->hsbIDX);
        ui->hsbIDX->setValue(m_index);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int32_t count = m_control->Buttons().Count();
    m_index = position;
    ui->txtField_0->setText(QString::number(position));
    EnableEditing(true);
    ui->btnAction_2->setEnabled(position != 1);
    ui->btnAction_3->setEnabled(position != count);
    if (position > count || position < 1) {
        QApplication::restoreOverrideCursor();
        Message(QStringLiteral("按钮索引 '") + QString::number(position) + QStringLiteral("' 不存在."),
                QMessageBox::Critical, kHint);
        EnableEditing(false);
        return;
    }
    const ItemRef b = m_control->Buttons().Item(position);
    {
        const QSignalBlocker block(ui->cboType);
        ui->cboType->setCurrentIndex(b->btnType() == Separator ? 1 : 0);
    }
    ui->txtField_1->setText(b->Key());
    ui->txtField_2->setText(b->Caption());
    ui->txtField_3->setText(b->TooltipText());
    m_font = b->Font(); // the button's own font object
    ui->txtField_4->setText(m_font ? m_font->Name : QString());
    const int sizeEntry = ui->CboIconSize->findData(int(b->IconSize()));
    ui->CboIconSize->setCurrentIndex(sizeEntry < 0 ? 0 : sizeEntry);
    ui->CboBtnAlign->setCurrentIndex(int(b->Alignment()) < ui->CboBtnAlign->count() ? int(b->Alignment()) : -1);
    ui->CboState->setCurrentIndex(int(b->State()) < ui->CboState->count() ? int(b->State()) : -1);
    ui->chkUseMask->setChecked(b->UseMaskColor());
    SetSwatch(b->maskColor());
    SetPreview(b->GetPicture());
    ui->chkCheck->setChecked(b->Value());
    {
        const QSignalBlocker block(ui->cboStyle);
        ui->cboStyle->setCurrentIndex(int(b->Style()) < ui->cboStyle->count() ? int(b->Style()) : -1);
    }
    SetForeColour(b->ForeColor());
    EnableProperties(b->btnType() != Separator);
    SetChanged(false);
    QApplication::restoreOverrideCursor();
}

QString ppgToolbar::KeyConflict() const
{
    // Keys are compared without regard to letter case, as the collection
    // does: two stored buttons with one key could not be read back.
    const QString key = ui->txtField_1->text();
    if (key.isEmpty())
        return QString();
    const int32_t count = m_control->Buttons().Count();
    for (int32_t i = 1; i <= count; ++i) {
        if (i == m_index)
            continue;
        const ItemRef other = m_control->Buttons().Item(i);
        if (other && other->Key().compare(key, Qt::CaseInsensitive) == 0)
            return QStringLiteral("关键字 '%1' 已被第 %2 个按钮使用，请换一个关键字(不区分大小写)。").arg(key).arg(i);
    }
    return QString();
}

bool ppgToolbar::ApplyChanges()
{
    if (!m_control || m_index < 1 || m_index > m_control->Buttons().Count())
        return true;
    if (const QString conflict = KeyConflict(); !conflict.isEmpty()) {
        Message(conflict, QMessageBox::Warning, kHint);
        ui->txtField_1->setFocus();
        return false;
    }
    const ItemRef b = m_control->Buttons().Item(m_index);
    try {
        // A list left without an entry (a separator clears them) keeps the
        // button's value instead of storing an invalid one.
        if (ui->cboType->currentIndex() >= 0)
            b->SetbtnType(static_cast<BtnTypeCont>(ui->cboType->currentIndex()));
        // The collection keeps the key the button was added with.
        b->SetKey(ui->txtField_1->text());
        b->SetCaption(ui->txtField_2->text());
        b->SetTooltipText(ui->txtField_3->text());
        if (ui->CboIconSize->currentIndex() >= 0)
            b->SetIconSize(static_cast<int16_t>(ui->CboIconSize->currentData().toInt()));
        if (ui->CboBtnAlign->currentIndex() >= 0)
            b->SetAlignment(static_cast<AlignCont>(ui->CboBtnAlign->currentIndex()));
        if (ui->CboState->currentIndex() >= 0)
            b->SetState(static_cast<BtnStateCont>(ui->CboState->currentIndex()));
        b->SetUseMaskColor(ui->chkUseMask->isChecked());
        b->SetmaskColor(m_swatch);
        if (m_font)
            b->SetFont(m_font);
        b->SetPicture(m_preview);
        if (ui->cboStyle->currentIndex() >= 0)
            b->SetStyle(static_cast<BtnStyleCont>(ui->cboStyle->currentIndex()));
        b->SetValue(ui->chkCheck->isChecked());
        b->SetForeColor(m_foreColor);
    } catch (const std::exception &e) {
        Message(QStringLiteral("程序错误：") + com::errorDescription(e), QMessageBox::Warning, QStringLiteral("朗石软件"));
        return false;
    }
    m_control->UpdateButtonCount();
    m_control->AutoResize(1);
    SetChanged(false);
    return true;
}

void ppgToolbar::AddClicked()
{
    if (!m_control)
        return;
    if (m_changed && !ApplyChanges())
        return;
    int16_t n = 0;
    try {
        n = m_control->AddButton(Button, QString(), QString(), nullptr, 16, IconLeftTextRight, QString(),
                                 int32_t(0x80000008), nullptr, NormalButton, STA_NORMAL, true, 0xFF00FF);
    } catch (const std::exception &e) {
        Message(QStringLiteral("程序错误：") + com::errorDescription(e), QMessageBox::Warning, QStringLiteral("朗石软件"));
        return;
    }
    ShowPosition(n);
    SetChanged(true);
}

void ppgToolbar::DeleteClicked()
{
    if (!m_control)
        return;
    SetChanged(false);
    try {
        m_control->Buttons().Remove(QVariant(int32_t(m_index)));
    } catch (const std::exception &e) {
        Message(com::errorDescription(e), QMessageBox::Warning, kHint);
        return;
    }
    const int32_t count = m_control->Buttons().Count();
    if (count > 0) {
        ShowPosition(std::min(m_index, count));
        SetChanged(true);
    } else {
        const QSignalBlocker block(ui->hsbIDX);
        ui->hsbIDX->setRange(0, 0);
        m_index = 0;
        EnableEditing(false);
        // Nothing is left to apply, so the bar is cleared here; it would
        // otherwise go on showing the deleted button.
        m_control->UpdateButtonCount();
        m_control->AutoResize(1);
    }
}

void ppgToolbar::MoveClicked(bool right)
{
    if (!m_control)
        return;
    const int32_t count = m_control->Buttons().Count();
    if (right ? m_index >= count : m_index <= 1) {
        Message(right ? QStringLiteral("按钮不能移动到无穷居右.") : QStringLiteral("按钮不能移动到无穷居左."),
                QMessageBox::Warning, kHint);
        return;
    }
    if (m_changed && !ApplyChanges())
        return;
    MoveConst dir = right ? ToRight : ToLeft;
    const int16_t to = m_control->MoveButton(static_cast<int16_t>(m_index), dir);
    if (to == 0)
        return;
    m_index = to;
    SetChanged(true);
    ShowPosition(to);
}

void ppgToolbar::TypeChanged()
{
    SetChanged(true);
    if (ui->cboType->currentIndex() == 1) {
        ui->txtField_1->clear();
        ui->txtField_2->clear();
        ui->txtField_3->clear();
        for (QComboBox *c : {ui->CboIconSize, ui->CboBtnAlign, ui->CboState, ui->cboStyle})
            c->setCurrentIndex(-1);
        SetPreview(nullptr);
        ui->chkCheck->setChecked(false);
        EnableProperties(false);
    } else {
        EnableProperties(true);
    }
}

void ppgToolbar::StyleChanged()
{
    SetChanged(true);
    if (ui->cboStyle->currentIndex() == 0) {
        ui->chkCheck->setChecked(false);
        ui->chkCheck->setEnabled(false);
    } else {
        ui->chkCheck->setEnabled(true);
    }
}

void ppgToolbar::SetSwatch(int32_t oleColour)
{
    m_swatch = oleColour;
    const QColor c = QColor::fromRgb(OleToQRgb(TranslateOleColor(oleColour)));
    QPalette p = ui->shpCol->palette();
    p.setColor(QPalette::Window, c);
    ui->shpCol->setPalette(p);
    ui->picImg->setAutoFillBackground(true);
    QPalette q = ui->picImg->palette();
    q.setColor(QPalette::Window, c);
    ui->picImg->setPalette(q);
}

void ppgToolbar::SetPreview(PictureRef picture)
{
    m_preview = std::move(picture);
    if (m_preview)
        ui->picImg->setPixmap(QPixmap::fromImage(m_preview->image()));
    else
        ui->picImg->clear();
}

void ppgToolbar::SetForeColour(int32_t oleColour)
{
    m_foreColor = oleColour;
    QPalette p = ui->lblHdr_9->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgb(OleToQRgb(TranslateOleColor(oleColour))));
    ui->lblHdr_9->setPalette(p);
}

void ppgToolbar::BrowsePicture()
{
    const QString file = m_chooseFile
        ? m_chooseFile(this)
        : QFileDialog::getOpenFileName(this, QStringLiteral("浏览图片"), QCoreApplication::applicationDirPath(),
                                       QStringLiteral("图片文件 (*.ico);;所有文件 (*.*)"));
    if (file.isEmpty())
        return;
    QImage image;
    if (!image.load(file)) {
        Message(QStringLiteral("无法装入图片 '") + file + QStringLiteral("'"), QMessageBox::Warning, kHint);
        return;
    }
    // The picture is the preview's drawing: the icon on the mask colour.
    QImage drawn(image.size(), QImage::Format_RGB32);
    drawn.fill(OleToQRgb(TranslateOleColor(m_swatch)));
    {
        QPainter p(&drawn);
        p.drawImage(0, 0, image);
    }
    SetPreview(std::make_shared<StdPicture>(StdPicture::Bitmap, drawn));
    SetChanged(true);
}

QColor ppgToolbar::ChooseColour(const QColor &start, const QString &title)
{
    if (m_chooseColour)
        return m_chooseColour(start, title, this);
    return QColorDialog::getColor(start, this, title);
}

void ppgToolbar::BrowseColour()
{
    const QColor c = ChooseColour(QColor::fromRgb(OleToQRgb(TranslateOleColor(m_swatch))), QStringLiteral("颜色"));
    if (!c.isValid())
        return;
    SetSwatch(QRgbToOle(c.rgb()));
    SetChanged(true);
}

void ppgToolbar::BrowseForeColour()
{
    // Qt's font chooser has no colour of its own: the caption colour has
    // this chooser, and the font label shows it.
    const QColor c = ChooseColour(QColor::fromRgb(OleToQRgb(TranslateOleColor(m_foreColor))),
                                  QStringLiteral("字体颜色"));
    if (!c.isValid())
        return;
    SetForeColour(QRgbToOle(c.rgb()));
    SetChanged(true);
}

void ppgToolbar::BrowseFont()
{
    if (!m_font) {
        Message(QStringLiteral("程序错误：") + QStringLiteral("没有字体"), QMessageBox::Warning,
                QStringLiteral("朗石软件"));
        return;
    }
    QFont start(m_font->Name);
    start.setPointSizeF(m_font->Size);
    start.setBold(m_font->Bold);
    start.setItalic(m_font->Italic);
    start.setUnderline(m_font->Underline);
    start.setStrikeOut(m_font->Strikethrough);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, this, QStringLiteral("字体"));
    if (!ok)
        return;
    m_font->Name = chosen.family();
    // The chooser offers sizes from 8 to 72 points, in tenths.
    m_font->Size = std::clamp(std::round(chosen.pointSizeF() * 10.0), 80.0, 720.0) / 10.0;
    m_font->Bold = chosen.weight() >= QFont::Bold;
    m_font->Weight = m_font->Bold ? 700 : 400;
    m_font->Italic = chosen.italic();
    m_font->Underline = chosen.underline();
    m_font->Strikethrough = chosen.strikeOut();
    ui->txtField_4->setText(m_font->Name);
    SetChanged(true);
}

bool ppgToolbar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress && watched == ui->txtField_4) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const bool digit = text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
        if (key->key() != Qt::Key_Backspace && !digit && !text.isEmpty() && text.at(0).isPrint()) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qvtoolbar
