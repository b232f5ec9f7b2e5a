#include "platform/com/RuntimeError.h"

#include <map>

namespace com {

QString errorText(int32_t number)
{
    // The texts the product's users know from the runtime it replaces.
    static const std::map<int32_t, const char16_t *> texts = {
        {5, u"无效的过程调用或参数"},
        {6, u"溢出"},
        {7, u"内存溢出"},
        {9, u"下标越界"},
        {11, u"除数为零"},
        {13, u"类型不匹配"},
        {48, u"加载 DLL 错误"},
        {52, u"文件名或文件号错误"},
        {53, u"文件未找到"},
        {57, u"设备 I/O 错误"},
        {58, u"文件已存在"},
        {61, u"磁盘已满"},
        {62, u"输入超出文件尾"},
        {70, u"没有权限"},
        {75, u"路径/文件访问错误"},
        {76, u"路径未找到"},
        {91, u"对象变量或 With 块变量未设置"},
        {94, u"无效使用 Null"},
        {424, u"缺少对象"},
        {429, u"ActiveX 部件不能创建对象"},
        {430, u"类不支持自动化操作或不支持期望的接口"},
        {438, u"对象不支持该属性或方法"},
        {440, u"自动化错误"},
        {448, u"未找到命名参数"},
        {449, u"参数不可选"},
        {450, u"错误的参数号或无效的属性赋值"},
        {3265, u"在对应所需名称或序数的集合中未找到项目。"},
        {35600, u"索引越界"},
        {35602, u"关键字在集合中不唯一"},
    };
    const auto it = texts.find(number);
    return it == texts.end() ? QString() : QString::fromUtf16(it->second);
}

RuntimeError RuntimeError::of(int32_t number, const QString &source)
{
    QString text = errorText(number);
    if (text.isEmpty())
        text = QStringLiteral("应用程序定义的错误或对象定义的错误 (%1)").arg(number);
    return RuntimeError(number, source, text);
}

QString errorDescription(const std::exception &e)
{
    if (const auto *rt = dynamic_cast<const RuntimeError *>(&e))
        return rt->description();
    return QString::fromLocal8Bit(e.what());
}

QString currentErrorDescription()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return errorDescription(e);
    } catch (...) {
        return errorText(errors::AutomationError);
    }
}

} // namespace com
