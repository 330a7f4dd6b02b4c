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

void ModifiedList::Remove(const QString &number)
{
    items_.removeIf([&number](const QString &item) { return item.compare(number, Qt::CaseInsensitive) == 0; });
}

#include "moc_AppState.cpp"
