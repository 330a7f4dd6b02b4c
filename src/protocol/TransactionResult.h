#pragma once

// Result of one exchange with the device. 0 and the negative codes of a
// set-type command come from the device's reply; the last two are outcomes
// of the readers and of the table selection that go beyond a plain ack.
namespace TransactionResult {
constexpr int Accepted = 0;
constexpr int Refused = -1;
constexpr int NoAnswer = -2;  // nothing within the time-out, or not a plain ack
constexpr int NotAFrame = -3; // no AA 55 at the start after locating
constexpr int BadChecksum = -4;
// A data reply whose command word is not the one expected.
constexpr int WrongCommandWord = -5;
// A read or write that needed the device on another parameter table, which
// did not confirm the switch: nothing was exchanged with a table it may not
// be serving.
constexpr int TableNotSwitched = -6;
// A parameter reply that holds none of the numbers asked for: the table's
// values would all be the profile's.
constexpr int NothingReported = -7;
} // namespace TransactionResult
