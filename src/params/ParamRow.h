#pragma once
#include "protocol/Hex.h"

#include <QString>
#include <array>

// One row of a parameter table: eight text cells. Cells 4..7 never change
// after the row is built; editing, reading and writing touch cells 2 and 3.
enum ParamColumn {
    ColNumber = 0, // 参数号: four hex digits, empty for a group heading
    ColName = 1,   // 参数名称
    ColHex = 2,    // 参数HEX值: "HEX:" + digits; four characters or fewer = no value
    ColValue = 3,  // 参数值: the text shown
    ColOnList = 4,
    ColOnGet = 5,
    ColOnSet = 6,
    ColNote = 7,
    ParamColumnCount = 8
};

inline const QString kHexPrefix = QStringLiteral("HEX:");

struct ParamRow {
    std::array<QString, ParamColumnCount> cells;
    // The last read of its table came back without this row: its cells
    // still hold what was there before (the profile's value), which is not
    // the device's. A value put into the row again clears it.
    bool unreported = false;

    const QString &Number() const { return cells[ColNumber]; }
    bool IsHeading() const { return cells[ColNumber].isEmpty(); }
    // The hex digits after "HEX:" (the cell's first four characters dropped).
    QString HexDigits() const { return cells[ColHex].mid(4); }
    bool HasValue() const { return cells[ColHex].size() > 4; }
    // Whether the raw cell is "HEX:" and whole bytes of hex digits: what a
    // write can send as it stands.
    bool HexIsWholeBytes() const
    {
        return cells[ColHex].startsWith(kHexPrefix) && IsHexBytes(QStringView(cells[ColHex]).mid(kHexPrefix.size()));
    }
};
