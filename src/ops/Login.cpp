#include "ops/Login.h"

#include "core/AppState.h"

namespace Login {

bool Submit(AppState &state, const QString &text)
{
    // Whole text, letter case significant.
    const int level = text == QLatin1String("mirandolex") ? 2 : text == QLatin1String("vanto") ? 1 : 0;
    if (level == 0)
        return false;
    state.LoginFlag = true;
    state.AccessLevel = level;
    return true;
}

} // namespace Login
