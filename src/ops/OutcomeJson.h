#pragma once
#include "ops/Outcomes.h"

#include <QJsonObject>

// The outcome values of the operations as JSON members: dtucfg --json and the
// details of a device record entry. Scripts read these, never the human lines.
namespace OutcomeJson {
QJsonObject Command(const CommandOutcome &outcome);
QJsonObject Version(const VersionOutcome &outcome);
QJsonObject Read(const ReadOutcome &outcome);
QJsonObject Write(const WriteReport &report);
QJsonObject Channel(const ChannelOutcome &outcome);
} // namespace OutcomeJson
