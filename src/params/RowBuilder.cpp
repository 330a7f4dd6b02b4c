#include "params/RowBuilder.h"

#include "params/ChoiceList.h"
#include "params/ParamTableModel.h"
#include "profile/DeviceProfile.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

namespace RowBuilder {
namespace {

QString LabelFor(const QString &onList, const QString &hex)
{
    const ChoiceList list = ChoiceList::Parse(onList);
    const int i = list.FirstMatch(hex);
    return i >= 0 ? list.labels[i] : QString();
}

void Build(ParamTableModel &table, QByteArray &idList, ScriptHost &script,
           const ProfileParam &p, bool extended)
{
    QString value;
    if (p.PVALUE.size() > 4) {
        script.SetGlobal(QStringLiteral("hexinput"), p.PVALUE.mid(4));
        const bool isList = extended ? !p.ONLIST.isEmpty() : p.ONLIST.contains(QLatin1Char('['));
        value = isList ? LabelFor(p.ONLIST, p.PVALUE) : script.Eval(p.ONGET);
    }

    ParamRow row;
    row.cells = {p.CMDID, p.PNAME, p.PVALUE, value, p.ONLIST, p.ONGET, p.ONSET, p.PNOTE};
    table.AppendRow(row);

    if (HexToInt(p.CMDID.left(4)) > 0) {
        idList.append(static_cast<char>(HexToInt(p.CMDID.mid(0, 2)) & 0xFF));
        idList.append(static_cast<char>(HexToInt(p.CMDID.mid(2, 2)) & 0xFF));
    }
}

} // namespace

void BuildMainRow(ParamTableModel &table, QByteArray &idList, ScriptHost &script,
                  const ProfileParam &param)
{
    Build(table, idList, script, param, false);
}

void BuildExtendedRow(ParamTableModel &table, QByteArray &idList, ScriptHost &script,
                      const ProfileParam &param)
{
    Build(table, idList, script, param, true);
}

} // namespace RowBuilder
