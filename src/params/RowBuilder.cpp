#include "params/RowBuilder.h"

#include "params/ChoiceList.h"
#include "params/ParamTableModel.h"
#include "profile/DeviceProfile.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

namespace RowBuilder {

void BuildRow(ParamTableModel &table, QByteArray &idList, ScriptHost &script, const ProfileParam &p)
{
    QString value;
    if (p.PVALUE.size() > 4) {
        script.SetGlobal(QStringLiteral("hexinput"), p.PVALUE.mid(4));
        const bool isList = table.kind() == ParamTableModel::Kind::Extended ? !p.ONLIST.isEmpty()
                                                                            : p.ONLIST.contains(QLatin1Char('['));
        if (isList) {
            const ChoiceList list = ChoiceList::Parse(p.ONLIST);
            const int i = list.FirstMatch(p.PVALUE);
            value = i >= 0 ? list.labels[i] : QString();
        } else {
            value = script.Eval(p.ONGET);
        }
    }

    ParamRow row;
    row.cells = {p.CMDID, p.PNAME, p.PVALUE, value, p.ONLIST, p.ONGET, p.ONSET, p.PNOTE};
    table.AppendRow(row);

    if (HexToInt(p.CMDID.left(4)) > 0)
        idList.append(WordToBytes(ScriptCommandWord(p.CMDID)));
}

} // namespace RowBuilder
