// Placeholder bodies; the writer is being built.
#include "params/ParamWriter.h"

namespace ParamWriter {
void WriteModified(DtuSession &) {}
void WriteCurrentRow(DtuSession &) {}
int SetParameter(DtuSession &, const QString &) { return -2; }
} // namespace ParamWriter
