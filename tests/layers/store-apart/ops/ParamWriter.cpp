// An operation never writes the records itself.
#include "store/RecordStore.h"
