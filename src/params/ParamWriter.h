#pragma once
#include <QString>

class DtuSession;

// Writing the modified rows of the active table, one set command per row.
namespace ParamWriter {

void WriteModified(DtuSession &session);
void WriteCurrentRow(DtuSession &session);
int SetParameter(DtuSession &session, const QString &number);

} // namespace ParamWriter
