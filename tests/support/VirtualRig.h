#pragma once
#include "params/ParamTableModel.h"
#include "protocol/Hex.h"
#include "session/DtuSession.h"
#include "support/Frames.h"
#include "support/ParamRows.h"
#include "support/RecordingFrontend.h"
#include "support/ScriptedTransport.h"
#include "support/TestPaths.h"
#include "support/VirtualClock.h"

#include <QStringList>
#include <optional>

// A session talking to a scripted device in virtual time, with the example
// device script loaded: whole exchanges, time-outs included, run in
// microseconds. A test gives the device its answers (AnswerEveryFrame, or
// a responder of its own) and the tables their rows (Main, Ext).
struct VirtualRig {
    RecordingFrontend fe;
    VirtualClock clock;
    DtuSession session{fe, clock};
    ScriptedTransport device{clock};
    // Answers to the next frames, one a frame, before any other (an empty
    // one: the device says nothing to that frame). Until AnswerEveryFrame
    // is called the device says nothing else.
    QList<QByteArray> next;

    explicit VirtualRig(bool loadExampleScript = true)
    {
        session.channel.SetSerial(&device);
        if (loadExampleScript)
            session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js")));
        AnswerEveryFrame({});
    }
    // A device that answers every frame with `everyFrame` (AnswerEveryFrame).
    explicit VirtualRig(const QByteArray &everyFrame) : VirtualRig() { AnswerEveryFrame(everyFrame); }

    // Every frame written is answered delayMs later with `reply`, or a
    // table selection (word E050) with `selection` when one is given, each
    // after the answers queued in `next`. An empty answer is silence.
    void AnswerEveryFrame(const QByteArray &reply, int delayMs = 30,
                          const std::optional<QByteArray> &selection = std::nullopt)
    {
        device.responder = [this, reply, delayMs, selection](const QByteArray &frame) {
            const bool selecting = selection && frame.mid(4, 2) == QByteArray::fromHex("E050");
            const QByteArray answer = !next.isEmpty() ? next.takeFirst() : selecting ? *selection : reply;
            if (!answer.isEmpty())
                device.Schedule(delayMs, answer);
        };
    }

    // A row of the main table, its number in the main id list. The first
    // row of either table puts the main table on channel 1 and the device
    // on it (a test wanting other channels sets them after its rows).
    VirtualRig &Main(const ParamRow &row) { return Add(session.mainTable, session.state.MainParamIdList, row); }
    // A row of the extended table (channel 0), its number in its id list.
    VirtualRig &Ext(const ParamRow &row) { return Add(session.extTable, session.state.ExtParamIdList, row); }
    // The row listed as edited, for the next "设置".
    void Edit(const QString &number) { session.state.ModifiedParamList.Add(number); }
    // A row's cells by number in the main table (the extended one with `ext`).
    QString Hex(const QString &number, bool ext = false) const { return Cell(number, ColHex, ext); }
    QString Value(const QString &number, bool ext = false) const { return Cell(number, ColValue, ext); }

    // The command words of the frames written, as four hex digits.
    QStringList Words() const
    {
        QStringList words;
        for (const QByteArray &frame : device.written)
            words << QString::fromLatin1(frame.mid(4, 2).toHex().toUpper());
        return words;
    }

private:
    VirtualRig &Add(ParamTableModel &table, QByteArray &ids, const ParamRow &row)
    {
        if (session.mainTable.Count() + session.extTable.Count() == 0) {
            session.state.MainParamChannel = 1;
            session.state.CurrentParamChannel = 1;
        }
        table.AppendRow(row);
        if (!row.Number().isEmpty())
            ids += HexToBytes(row.Number());
        return *this;
    }
    QString Cell(const QString &number, int column, bool ext) const
    {
        const ParamTableModel &table = ext ? session.extTable : session.mainTable;
        return table.Cell(table.FindByNumber(number), column);
    }
};
