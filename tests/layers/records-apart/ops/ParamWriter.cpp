// An operation never writes the records itself.
#include "records/RecordStore.h"
