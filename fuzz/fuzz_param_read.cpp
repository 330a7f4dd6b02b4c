// The parameter read: reply checks, the record walk and ApplyParamValue with
// the example profile's snippets, on the main or the extended table.
#include "FuzzRig.h"

#include "ops/ParamReader.h"
#include "params/ParamTableModel.h"
#include "params/ParamRow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRig::App();
    static FuzzRig rig(true);
    static const int mainRows = rig.session.mainTable.Count();
    static const int extRows = rig.session.extTable.Count();
    const FuzzInput in(data, size);
    // Mode bit 0: a well-framed reply with the reply word E1 01 in front of
    // the records, so the walk always runs; bit 1: the extended table.
    QByteArray reply = in.rest;
    if (in.mode & 1)
        reply = FuzzRig::Framed(QByteArray("\xE1\x01", 2) + in.rest);
    rig.Answer(in.control, reply);
    DtuSession &s = rig.session;
    const bool ext = in.mode & 2;
    ParamTableModel &table = ext ? s.extTable : s.mainTable;
    RunAction(s, [&] { ParamReader::ReadParamGroup(s, table, ext ? s.state.ExtParamIdList : s.state.MainParamIdList); });
    // A read fills cells; it never adds or drops rows.
    if (s.mainTable.Count() != mainRows || s.extTable.Count() != extRows)
        __builtin_trap();
    for (int row = 0; row < table.Count(); ++row) {
        const QString hex = table.Cell(row, ColHex);
        if (!table.Cell(row, ColNumber).isEmpty() && !hex.isEmpty() && !hex.startsWith(QLatin1String("HEX:")))
            __builtin_trap();
    }
    // The record area never reaches past the frame.
    const QByteArray area = ParamReader::RecordArea(reply, in.control & 0x0F);
    if (area.size() > reply.size())
        __builtin_trap();
    return 0;
}
