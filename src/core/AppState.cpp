#include "core/AppState.h"

#include "moc_AppState.cpp"
