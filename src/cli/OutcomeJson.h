#pragma once
#include "ops/Outcomes.h"

#include <QJsonObject>

// The outcome values of the operations as JSON members, for dtucfg --json:
// scripts read these, never the human lines.
namespace OutcomeJson {
QJsonObject Command(const CommandOutcome &outcome);
QJsonObject Version(const VersionOutcome &outcome);
QJsonObject Read(const ReadOutcome &outcome);
QJsonObject Write(const WriteReport &report);
QJsonObject Channel(const ChannelOutcome &outcome);
} // namespace OutcomeJson
