#pragma once
// A session whose device answers every request with the fuzz input, on a
// virtual clock: a reader runs its whole time-out in microseconds.
#include "core/SilentFrontend.h"

#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "ops/ProfileLoader.h"
#include "support/Frames.h"
#include "support/ScriptedTransport.h"
#include "support/VirtualClock.h"

#include <QCoreApplication>
#include <cstdint>
#include <memory>

class FuzzRig {
public:
    // With a profile, the example profile (and its extended file) is loaded.
    explicit FuzzRig(bool withProfile)
    {
        // The script is the example's, never the input: its time limit stays
        // the tool's own, so a loaded machine's pause is no crash.
        if (!session.script.LoadFile(Example("script.js")))
            __builtin_trap();
        if (withProfile) // its extended file is found beside it
            ProfileLoader::LoadProfile(session, Example("example_profile.txt"));
    }

    static QCoreApplication &App()
    {
        static int argc = 1;
        static char arg0[] = "fuzz";
        static char *argv[] = {arg0, nullptr};
        static QCoreApplication app(argc, argv);
        return app;
    }
    static QString Example(const char *name)
    {
        return QStringLiteral(DTU_SOURCE_DIR "/examples/") + QLatin1String(name);
    }

    // Frames a payload (reply word and data) with a correct length field
    // and checksum, so the input reaches the reader past its frame checks.
    static QByteArray Framed(const QByteArray &payload)
    {
        const int length = static_cast<int>(payload.size()) + 2;
        QByteArray lengthField;
        lengthField.append(static_cast<char>((length >> 8) & 0xFF)).append(static_cast<char>(length & 0xFF));
        return TestFrames::Framed(lengthField + payload);
    }

    // The device answers the next write with `reply`, cut in pieces. The
    // control byte picks the piece size (1..64) and the gap between pieces:
    // 5 ms normally, 450 ms (past the quiet gap, so the reply ends early and
    // the rest is left in the channel) when its top bit is set.
    void Answer(quint8 control, const QByteArray &reply)
    {
        device = std::make_unique<ScriptedTransport>(clock); // nothing left from the last input
        session.channel.SetSerial(device.get());
        const int piece = 1 + (control & 0x3F);
        const int gap = (control & 0x80) ? 450 : 5;
        device->responder = [this, reply, piece, gap, answered = false](const QByteArray &) mutable {
            if (answered) // one answer; later requests go unanswered
                return;
            answered = true;
            qint64 at = 20;
            for (qsizetype i = 0; i < reply.size(); i += piece, at += gap)
                device->Schedule(at, reply.mid(i, piece));
        };
    }

    SilentFrontend frontend;
    VirtualClock clock;
    DtuSession session{frontend, clock};
    std::unique_ptr<ScriptedTransport> device;
};

// The input as a control byte, a mode byte and the reply bytes.
struct FuzzInput {
    quint8 control = 0;
    quint8 mode = 0;
    QByteArray rest;
    FuzzInput(const uint8_t *data, size_t size)
    {
        if (size > 0)
            control = data[0];
        if (size > 1)
            mode = data[1];
        if (size > 2)
            rest = QByteArray(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    }
};
