#pragma once
#include <QString>
#include <algorithm>

// What a parameter number is, and who may write a row. The device number (row "0091") identifies a unit on
// its data centre; it is written only from access level 2, which the
// administrator login (or dtucfg --level 2) gives. Every place that edits,
// lists, sends or expects a row asks here.
namespace WriteRules {

inline const QString kProtectedNumber = QStringLiteral("0091");
inline constexpr int kUnlockLevel = 2;

// Four hex digits in either case, as profiles, options and inventories write
// a row's number ("0091", "00a1"); nothing before or after them.
inline bool IsParamNumber(const QString &text)
{
    return text.size() == 4
        && std::all_of(text.begin(), text.end(), [](QChar c) { return QStringView(u"0123456789ABCDEFabcdef").contains(c); });
}

// Whole text, as the row's number column holds it.
inline bool IsProtected(const QString &number)
{
    return number == kProtectedNumber;
}

// A row with a number, and the protected one only from the unlock level.
inline bool MayWrite(int accessLevel, const QString &number)
{
    return !number.isEmpty() && (accessLevel >= kUnlockLevel || !IsProtected(number));
}

} // namespace WriteRules
