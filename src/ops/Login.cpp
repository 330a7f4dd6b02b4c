#include "ops/Login.h"

#include "core/AppState.h"

namespace Login {

bool Submit(AppState &state, const QString &text)
{
    // Whole text, letter case significant.
    int level = 0;
    if (text == QLatin1String("mirandolex"))
        level = 2;
    else if (text == QLatin1String("vanto"))
        level = 1;
    else
        return false;
    state.LoginFlag = true;
    state.AccessLevel = level;
    return true;
}

} // namespace Login
