#pragma once
#include <QString>

class AppState;

// The hidden administrator login: the two passwords and the levels they set.
namespace Login {
// True when the text is one of the passwords (AccessLevel and LoginFlag set).
bool Submit(AppState &state, const QString &text);
}
