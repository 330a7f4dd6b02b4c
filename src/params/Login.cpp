// Placeholder; being built.
#include "params/Login.h"
namespace Login {
bool Submit(AppState &, const QString &) { return false; }
}
