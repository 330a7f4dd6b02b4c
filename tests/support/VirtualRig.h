#pragma once
#include "session/DtuSession.h"
#include "support/RecordingFrontend.h"
#include "support/ScriptedTransport.h"
#include "support/TestPaths.h"
#include "support/VirtualClock.h"

// A session talking to a scripted device in virtual time, with the example
// device script loaded: whole exchanges, time-outs included, run in
// microseconds. Tests derive from it to give the device its answers.
struct VirtualRig {
    RecordingFrontend fe;
    VirtualClock clock;
    DtuSession session{fe, clock};
    ScriptedTransport device{clock};

    explicit VirtualRig(bool loadExampleScript = true)
    {
        session.channel.SetSerial(&device);
        if (loadExampleScript)
            session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js")));
    }
    // Every frame written is answered with reply, delayMs later.
    void AnswerEveryWrite(const QByteArray &reply, int delayMs = 30)
    {
        device.responder = [this, reply, delayMs](const QByteArray &) { device.Schedule(delayMs, reply); };
    }
};
