#include "toolbar/control/clsItems.h"

#include "platform/com/RuntimeError.h"
#include "toolbar/control/ToolbarColors.h"
#include "platform/ErrorText.h"

#include <algorithm>
#include <exception>

namespace qvtoolbar {

namespace {
const QString kAddSource = QStringLiteral("Huepick.clsButtonItem - Add");
const QString kRemoveSource = QStringLiteral(" Remove");

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Char: case QMetaType::UChar:
    case QMetaType::SChar: case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}
} // namespace

int32_t clsItems::IndexOf(const QVariant &vntIndexKey) const
{
    if (!vntIndexKey.isValid())
        return -1;
    if (isNumber(vntIndexKey)) {
        const double d = vntIndexKey.toDouble();
        if (!(d >= -2147483648.0 && d <= 2147483647.0))
            return -1;
        const int32_t pos = RoundEven(d);
        if (pos < 1 || pos > static_cast<int32_t>(m_items.size()))
            return -1;
        return pos - 1;
    }
    const QString key = vntIndexKey.toString();
    if (key.isEmpty())
        return -1;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (!m_keys[i].isEmpty() && m_keys[i].compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int32_t>(i);
    }
    return -1;
}

ItemRef clsItems::AddItemEx(const QString &strCaption, const QString &Key, PictureRef IconPicture,
                            bool bVisible)
{
    auto item = std::make_shared<clsToolbarItem>();
    if (Exists(QVariant(Key)))
        throw com::RuntimeError(kErrorNumber, kAddSource,
                                QStringLiteral("Key: ") + Key + QStringLiteral(" Already Exists"));
    try {
        item->SetCaption(strCaption);
        item->SetKey(Key);
        item->SetPicture(std::move(IconPicture));
        item->SetVisible(bVisible);
        item->SetEnabled(true);
        m_items.push_back(item);
        m_keys.push_back(Key);
    } catch (const std::exception &e) {
        throw com::RuntimeError(kErrorNumber, kAddSource, com::errorDescription(e));
    }
    return item;
}

int32_t clsItems::Count() const
{
    return static_cast<int32_t>(m_items.size());
}

ItemRef clsItems::Item(const QVariant &vntIndexKey) const
{
    const int32_t i = IndexOf(vntIndexKey);
    return i < 0 ? nullptr : m_items[static_cast<size_t>(i)];
}

ItemRef clsItems::Item(int32_t position) const
{
    return Item(QVariant(position));
}

ItemRef clsItems::Item(const QString &key) const
{
    return Item(QVariant(key));
}

bool clsItems::Exists(const QVariant &vntIndexKey) const
{
    return IndexOf(vntIndexKey) >= 0;
}

bool clsItems::Remove(const QVariant &vntIndexKey)
{
    const int32_t i = IndexOf(vntIndexKey);
    if (i < 0) {
        const bool byPosition = isNumber(vntIndexKey);
        throw com::RuntimeError(kErrorNumber, kRemoveSource,
                                com::errorText(byPosition ? com::errors::SubscriptOutOfRange : com::errors::InvalidProcedureCall));
    }
    m_items.erase(m_items.begin() + i);
    m_keys.erase(m_keys.begin() + i);
    return true;
}

bool clsItems::CopyItem(clsToolbarItem *pDest, const clsToolbarItem *pSource)
{
    if (!pDest || !pSource)
        return false;
    // Each step on its own: a failing one is skipped. The copied
    // iWidth/iHeight come after the steps that resize, so they win.
    auto step = [](auto &&f) {
        try {
            f();
        } catch (...) {
            jx::logSwallowed(QStringLiteral("复制工具栏按钮"));
        }
    };
    step([&] { pDest->SetAlignment(pSource->Alignment()); });
    step([&] { pDest->SetbtnType(pSource->btnType()); });
    step([&] { pDest->SetCaption(pSource->Caption()); });
    step([&] { pDest->SetEnabled(pSource->Enabled()); });
    step([&] { pDest->SetFont(pSource->Font()); });
    step([&] { pDest->SetForeColor(pSource->ForeColor()); });
    step([&] { pDest->SetPicture(pSource->GetPicture()); });
    step([&] { pDest->SetIconSize(pSource->IconSize()); });
    step([&] { pDest->SetiHeight(pSource->iHeight()); });
    step([&] { pDest->SetiLeft(pSource->iLeft()); });
    step([&] { pDest->SetiTop(pSource->iTop()); });
    step([&] { pDest->SetiWidth(pSource->iWidth()); });
    step([&] { pDest->SetKey(pSource->Key()); });
    step([&] { pDest->SetmaskColor(pSource->maskColor()); });
    step([&] { pDest->SetState(pSource->State()); });
    step([&] { pDest->SetStyle(pSource->Style()); });
    step([&] { pDest->SetTooltipText(pSource->TooltipText()); });
    step([&] { pDest->SetUseMaskColor(pSource->UseMaskColor()); });
    step([&] { pDest->SetValue(pSource->Value()); });
    step([&] { pDest->SetVisible(pSource->Visible()); });
    return false;
}

void clsItems::SwapKeys(int32_t a, int32_t b)
{
    const auto n = static_cast<int32_t>(m_keys.size());
    if (a < 1 || b < 1 || a > n || b > n)
        return;
    std::swap(m_keys[size_t(a - 1)], m_keys[size_t(b - 1)]);
}

int32_t clsItems::MaxItemHeight() const
{
    int32_t px = TwipsToPixels(435.0);
    for (const ItemRef &item : m_items)
        px = std::max<int32_t>(px, item->iHeight());
    return PixelsToTwips(px);
}

} // namespace qvtoolbar
