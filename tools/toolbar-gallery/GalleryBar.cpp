#include "GalleryBar.h"

#include "toolbar/control/PropertyBag.h"

#include <QPainter>

using namespace qvtoolbar;

namespace {
// A 16 x 16 bitmap on the magenta mask colour with a coloured disc.
PictureRef icon(QColor colour)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 255));
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(2, 2, 12, 12);
    p.setBrush(Qt::white);
    p.drawRect(6, 6, 4, 4);
    return std::make_shared<StdPicture>(StdPicture::Bitmap, img);
}
} // namespace

std::unique_ptr<NavToolbar> makeGalleryBar(ThemeConst theme, int widthPx, int heightPx, QWidget *parent)
{
    auto bar = std::make_unique<NavToolbar>(parent);
    bar->InitProperties();
    // Designer-like painting: a paint request shows the drawing as it is, so
    // the sample states stay visible.
    bar->SetUserMode(false);
    bar->SetThemeColor(theme);
    const int32_t fore = int32_t(0x80000008);
    bar->AddButton(Button, QStringLiteral("新建"), QStringLiteral("new"), icon(Qt::darkGreen));
    bar->AddButton(Button, QStringLiteral("打开"), QStringLiteral("open"), icon(Qt::blue));
    bar->AddButton(Button, QStringLiteral("保存"), QStringLiteral("save"), icon(Qt::red));
    bar->AddButton(Separator);
    bar->AddButton(Button, QStringLiteral("粗体"), QStringLiteral("bold"), icon(QColor(200, 120, 0)), 16,
                   IconLeftTextRight, QString(), fore, nullptr, CheckButton);
    bar->AddButton(Button, QStringLiteral("斜体"), QStringLiteral("italic"), nullptr, 16, IconLeftTextRight,
                   QString(), fore, nullptr, CheckButton);
    bar->AddButton(Button, QStringLiteral("视图"), QStringLiteral("view"), icon(Qt::darkCyan), 16,
                   IconLeftTextRight, QString(), fore, nullptr, DropdownButton);
    bar->AddButton(Button, QStringLiteral("格式"), QStringLiteral("format"), nullptr, 16, IconLeftTextRight,
                   QString(), fore, nullptr, DropdownButton);
    bar->AddButton(Button, QStringLiteral("工具"), QStringLiteral("tools"), nullptr, 16, IconLeftTextRight,
                   QString(), fore, nullptr, DropdownButton);
    bar->AddButton(Separator);
    bar->AddButton(Button, QStringLiteral("删除"), QStringLiteral("delete"), icon(Qt::red));
    bar->AddButton(Button, QString(), QStringLiteral("icon"), icon(QColor(128, 0, 128)));
    bar->AddButton(Button, QStringLiteral("Text"), QStringLiteral("text"));
    bar->Buttons().Item(QStringLiteral("bold"))->SetValue(true);
    bar->Buttons().Item(QStringLiteral("delete"))->SetEnabled(false);
    bar->SetTwipsSize(widthPx * 15, heightPx * 15);
    bar->Calculate_Size(1);
    bar->InitialGradToolbar();
    bar->Redraw();
    paintGalleryStates(*bar);
    return bar;
}

void paintGalleryStates(NavToolbar &bar)
{
    const struct { const char *key; BtnStateCont state; } states[] = {
        {"open", STA_OVER}, {"save", STA_PRESSED}, {"italic", STA_OVERDOWN},
        {"view", STA_OVER}, {"format", STA_SELECTED}, {"tools", STA_OVERDOWN},
    };
    for (const auto &s : states) {
        ItemRef item = bar.Buttons().Item(QString::fromLatin1(s.key));
        if (!item)
            continue;
        item->SetState(s.state);
        bar.DrawButton(item.get());
    }
}

NavToolbar *makeEventsBar(QWidget *host)
{
    NavToolbar designed;
    designed.InitProperties();
    designed.SetUserMode(false);
    designed.SetThemeColor(Blue);
    const int32_t fore = int32_t(0x80000008);
    designed.AddButton(Button, QStringLiteral("新建"), QStringLiteral("new"), icon(Qt::darkGreen), 16,
                       IconLeftTextRight, QStringLiteral("新建一条记录"));
    designed.AddButton(Button, QStringLiteral("保存"), QStringLiteral("save"), icon(Qt::red), 16, IconLeftTextRight,
                       QStringLiteral("保存修改"));
    designed.AddButton(Separator);
    designed.AddButton(Button, QStringLiteral("粗体"), QStringLiteral("bold"), icon(QColor(200, 120, 0)), 16,
                       IconLeftTextRight, QStringLiteral("复选按钮"), fore, nullptr, CheckButton);
    designed.AddButton(Button, QStringLiteral("视图"), QStringLiteral("view"), icon(Qt::darkCyan), 16,
                       IconLeftTextRight, QStringLiteral("下拉按钮"), fore, nullptr, DropdownButton);
    designed.AddButton(Button, QStringLiteral("删除"), QStringLiteral("delete"), icon(Qt::red), 16,
                       IconLeftTextRight, QStringLiteral("不可用"));
    designed.Buttons().Item(QStringLiteral("delete"))->SetEnabled(false);
    qvtoolbar::PropertyBag bag;
    designed.WriteProperties(bag);

    auto *bar = new NavToolbar(host);
    bar->ReadProperties(bag);
    return bar;
}
