// Placeholder bodies; the reader is being built.
#include "params/ParamReader.h"

namespace ParamReader {
void ReadMainPage(DtuSession &) {}
void ReadExtendedPage(DtuSession &) {}
void ReadAllParameters(DtuSession &) {}
void ReadParamGroup(DtuSession &, const QByteArray &) {}
void ApplyParamValue(DtuSession &, quint16, const QByteArray &) {}
} // namespace ParamReader
