// Placeholder; being built.
#include "app/PageEntry.h"
namespace PageEntry {
void OnPageShown(DtuSession &, Page) {}
}
