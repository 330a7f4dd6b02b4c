// The ground layer reaching into the lower one: the layer check must refuse it.
#pragma once
#include "protocol/Hex.h"
