// Placeholder; being built.
#include "params/ParamFile.h"
namespace ParamFile {
void RestoreDefaultsMenu(DtuSession &) {}
void ResetMenu(DtuSession &) {}
void SaveParamFile(DtuSession &) {}
void BatchWrite(DtuSession &) {}
} // namespace ParamFile
