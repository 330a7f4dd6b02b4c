#include "core/AppState.h"

void ModifiedList::Add(const QString &number)
{
    if (!Contains(number))
        items_.append(number);
}

bool ModifiedList::Contains(const QString &number) const
{
    return items_.contains(number, Qt::CaseInsensitive);
}
