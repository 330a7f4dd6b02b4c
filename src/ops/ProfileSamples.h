#pragma once
#include "ops/EditorLogic.h"
#include "ops/ProfileCheck.h"

#include <QStringList>
#include <optional>

class DtuSession;
class ParamTableModel;

// The sample values a row of the profile check is tried with, and the
// round trip each one must survive.
namespace ProfileSamples {

// A Mask of digits alone: the row holds a number.
bool DigitsOnly(const EditorPlan &plan);
// By the row's kind: floats for GetFloat/SetFloat, numbers up to what Length
// digits allow for a digits-only Mask, else texts around Length. (Choice
// lists are tried with their own codes.)
QStringList For(const EditorPlan &plan, const QString &onGet, const QString &onSet);

struct Fault {
    ProfileCheck::Kind kind;
    QStringList data;
    bool inDecoder = false; // ONGET's fault, else ONSET's
};
// Tries each sample on row 0 of table, which has no value of its own: a
// sample the row refuses is skipped (refusing is right); the first fault
// ends the trial, as does the watchdog stopping a snippet.
std::optional<Fault> Try(DtuSession &session, const ParamTableModel &table, const QStringList &samples,
                         bool digitsOnly);

// "0000" as "00 00".
QString Spaced(const QString &hex);

} // namespace ProfileSamples
