// Placeholder; being built.
#include "params/EditorLogic.h"
namespace EditorLogic {
EditorPlan Plan(DtuSession &, int) { return {}; }
bool RowReadOnly(const DtuSession &, int) { return true; }
void ConvertTyped(DtuSession &, const QString &) {}
void ApplyChoice(DtuSession &, const QString &) {}
} // namespace EditorLogic
