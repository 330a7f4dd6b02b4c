#pragma once

// Result of a set-type command (and of the status readers' failures).
namespace TransactionResult {
constexpr int Accepted = 0;
constexpr int Refused = -1;
constexpr int NoAnswer = -2;  // nothing within the time-out, or not a plain ack
constexpr int NotAFrame = -3; // no AA 55 at the start after locating
constexpr int BadChecksum = -4;
} // namespace TransactionResult
