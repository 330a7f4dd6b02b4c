#pragma once
#include "store/StoreError.h"

// The words of a store's refusal in the run's language, naming its cause
// and the values it carries: the one place they are made.
namespace StoreWording {

// The error with its message made from its values: "LOCATION：why", such
// as a store made by a newer version with both versions, or a file of
// another program left as it was.
StoreError Worded(StoreError error);

} // namespace StoreWording
