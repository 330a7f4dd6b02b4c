#pragma once
#include "params/ParamRow.h"

// A parameter table row for tests: number and name first, every other cell
// empty until set.  table.AppendRow(TestRow("0031", "端口").Hex("HEX:1F90"))
class TestRow {
public:
    TestRow(const QString &number, const QString &name)
    {
        row_.cells[ColNumber] = number;
        row_.cells[ColName] = name;
    }
    TestRow &Hex(const QString &hex) { return Set(ColHex, hex); }
    TestRow &Value(const QString &value) { return Set(ColValue, value); }
    TestRow &OnList(const QString &onList) { return Set(ColOnList, onList); }
    TestRow &OnGet(const QString &onGet) { return Set(ColOnGet, onGet); }
    TestRow &OnSet(const QString &onSet) { return Set(ColOnSet, onSet); }
    operator ParamRow() const { return row_; }

private:
    TestRow &Set(int column, const QString &text)
    {
        row_.cells[column] = text;
        return *this;
    }
    ParamRow row_;
};
