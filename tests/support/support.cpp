#include "support/RecordingFrontend.h"
