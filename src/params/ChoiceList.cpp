#include "params/ChoiceList.h"

#include "core/DtuError.h"
#include "params/ParamRow.h"
#include "profile/OrderedJson.h"

#include <QCoreApplication>

ChoiceList ChoiceList::Parse(const QString &onList)
{
    JsonValue root;
    QString error;
    if (!JsonValue::Parse(onList, &root, &error))
        throw DtuError(QCoreApplication::translate("ChoiceList", "选择列表%1").arg(error));
    if (!root.IsArray() || root.Items().size() < 2 || !root.Items()[0].IsArray()
        || !root.Items()[1].IsArray())
        throw DtuError(QCoreApplication::translate("ChoiceList", "选择列表格式错误：应为[[名称...],[取值...]]"));
    ChoiceList list;
    for (const JsonValue &v : root.Items()[0].Items())
        list.labels << v.Text();
    for (const JsonValue &v : root.Items()[1].Items())
        list.values << v.Text();
    return list;
}

int ChoiceList::LastMatch(const QString &hexCell) const
{
    for (int i = int(qMin(labels.size(), values.size())) - 1; i >= 0; --i)
        if (kHexPrefix + values[i] == hexCell)
            return i;
    return -1;
}

int ChoiceList::FirstMatch(const QString &hexCell) const
{
    for (int i = 0; i < labels.size() && i < values.size(); ++i)
        if (kHexPrefix + values[i] == hexCell)
            return i;
    return -1;
}
