#include "ops/ProfileCheckWording.h"

#include <QCoreApplication>

namespace ProfileCheckWording {
namespace {

// lupdate files these tr() texts under the namespace's name: looked up
// under any other, they would never be translated.
QString tr(const char *text)
{
    return QCoreApplication::translate("ProfileCheckWording", text);
}

QString Bytes(const QString &spaced)
{
    return spaced.isEmpty() ? tr("（无字节）") : spaced;
}

} // namespace

QString Detail(const ProfileCheck::Finding &f)
{
    using ProfileCheck::Kind;
    const QStringList &d = f.data;
    const auto at = [&d](int i) { return d.value(i); };
    switch (f.kind) {
    case Kind::FileUnreadable: return at(0);
    case Kind::NotText: return tr("这里的字节既不是GBK也不是UTF-8文本");
    case Kind::BadJson: return at(0);
    case Kind::NotAnObject:
        return f.index >= 0 ? tr("这一行不是JSON对象，它和它后面的行都不会载入") : tr("不是JSON对象");
    case Kind::ScriptLoad: return tr("脚本载入时出错：%1").arg(at(0));
    case Kind::MissingMember: return tr("缺少成员 %1").arg(at(0));
    case Kind::NotAList: return tr("%1 不是JSON数组，一行参数也不会载入").arg(at(0));
    case Kind::BadNumber: return tr("参数号“%1”不是四位十六进制数").arg(at(0));
    case Kind::RepeatedNumber: return tr("参数号 %1 在第%2行已经用过").arg(at(0), at(1));
    case Kind::BadValue: return tr("PVALUE“%1”不是 HEX: 加完整的十六进制字节").arg(at(0));
    case Kind::BadList:
        return at(1).isEmpty() ? tr("ONLIST“%1”既不是 Length=N; Mask=\"...\"; 也不是选择列表").arg(at(0))
                               : tr("ONLIST：%1").arg(at(1));
    case Kind::BadChoiceCode: return tr("选择“%1”的取值“%2”不是大写的十六进制字节").arg(at(0), at(1));
    case Kind::RepeatedCode: return tr("选择“%1”和“%2”的取值都是 %3").arg(at(0), at(1), at(2));
    case Kind::MissingFunction: return tr("%1 用到脚本中没有的名字：%2").arg(at(0), at(1));
    case Kind::SnippetError: return tr("%1 出错：%2").arg(at(0), at(1));
    case Kind::SnippetTimeout: return tr("%1 超过%2毫秒没有结束，已停止，不再运行").arg(at(0), at(1));
    case Kind::BadCommandWord: return tr("GetCmd(\"%1\") 给出“%2”，不是0000以外的四位十六进制数").arg(at(0), at(1));
    case Kind::ValueUndecodable: return tr("PVALUE %1 无法解码：%2").arg(at(0), at(1));
    case Kind::ValueTooLong: return tr("显示的值“%1”超过 Length=%2，无法照样输入").arg(at(0), at(1));
    case Kind::SampleUndecodable: return tr("%1 写成 %2，读回时出错：%3").arg(at(0), Bytes(at(1)), at(2));
    case Kind::Wrapped: return tr("%1 写成 %2，读回是 %3").arg(at(0), Bytes(at(1)), at(2));
    case Kind::NoRoundTrip:
        return tr("%1 写成 %2，读回是“%3”，它又写成 %4").arg(at(0), Bytes(at(1)), at(2), Bytes(at(3)));
    }
    return {};
}

QString Line(const ProfileCheck::Finding &f)
{
    QString place = f.file;
    if (f.line > 0)
        place += QStringLiteral(":%1").arg(f.line);
    if (f.line > 0 && f.column > 0)
        place += QStringLiteral(":%1").arg(f.column);
    const QString severity = f.severity == ProfileCheck::Severity::Fault ? tr("错误") : tr("警告");
    const QString row = f.number.isEmpty() && f.name.isEmpty() ? QString() : tr("%1（%2）：").arg(f.number, f.name);
    return tr("%1: %2：%3%4").arg(place, severity, row, Detail(f));
}

QString Summary(const ProfileCheck::Report &report)
{
    return tr("检查了%1行：%2个错误，%3个警告")
        .arg(report.rows)
        .arg(report.Count(ProfileCheck::Severity::Fault))
        .arg(report.Count(ProfileCheck::Severity::Warning));
}

QString LoadNotice(int faults)
{
    return tr("参数文件有%1处错误，文件操作 › 检查参数文件... 列出它们").arg(faults);
}

} // namespace ProfileCheckWording
