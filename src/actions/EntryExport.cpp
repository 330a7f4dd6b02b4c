#include "actions/EntryExport.h"

#include "core/CsvText.h"
#include "ops/Outcomes.h"
#include "actions/EntryRows.h"
#include "store/EntryJson.h"

#include <QJsonDocument>
#include <QStringList>

namespace EntryExport {

QByteArray Csv(const QList<RecordEntry> &entries)
{
    QString text = QStringLiteral("id,time,operator,host,program,target,device,imei,firmware,action,outcome,restores,"
                                  "table,number,name,before,before_raw,after,after_raw,result\r\n");
    const auto line = [&text](const QStringList &cells) {
        QStringList quoted;
        for (const QString &cell : cells)
            quoted << CsvText::Cell(cell);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    for (const RecordEntry &e : entries) {
        const QStringList head{QString::number(e.id), RecordEntries::TimeText(e.time), e.operatorName, e.host,
                               e.program, e.target, e.device.number, e.device.imei, e.device.firmware, e.action,
                               e.outcome, e.restores > 0 ? QString::number(e.restores) : QString()};
        if (e.rows.isEmpty())
            line(head + QStringList{{}, {}, {}, {}, {}, {}, {}, {}});
        for (const RecordRow &row : e.rows)
            line(head + QStringList{row.table, row.number, row.name, row.before.shown, row.before.raw,
                                    row.after.shown, row.after.raw, row.result});
    }
    return text.toUtf8();
}

QByteArray Json(const QList<RecordEntry> &entries)
{
    return QJsonDocument(EntryJson::Entries(entries)).toJson(QJsonDocument::Indented);
}

bool RowFailed(const RecordRow &row)
{
    static const QStringList fine{OutcomeName(OutcomeId::Read), OutcomeName(OutcomeId::Unchanged),
                                  OutcomeName(OutcomeId::Withheld), OutcomeName(OutcomeId::Ok)};
    return !fine.contains(row.result);
}

QString Shown(const RecordValue &value)
{
    return value.shown.isEmpty() ? value.raw : value.shown;
}

} // namespace EntryExport
