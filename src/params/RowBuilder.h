#pragma once
#include <QByteArray>

class ParamTableModel;
class ScriptHost;
struct ProfileParam;

// Builds one table row from a profile entry: computes the display value from
// PVALUE with the row's ONLIST / ONGET, appends the row, and appends its
// parameter number to the table's id list. Throws (script or list error)
// before anything is appended, so a failed build leaves no half row. The
// extended table differs in one point: a non-empty ONLIST is always a choice
// list (the main table's only when it holds a '[').
namespace RowBuilder {

void BuildRow(ParamTableModel &table, QByteArray &idList, ScriptHost &script, const ProfileParam &param);

} // namespace RowBuilder
