#pragma once
#include "fleet/FleetReport.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdio>

// The progress of a fleet run on standard error. On a terminal, one live
// line per device ("[ 7/32] tcp:10.0.0.7  write 23/41"), redrawn in place
// at most ten times a second; otherwise a plain line when a device starts
// and when it ends.
class FleetProgress {
public:
    FleetProgress(std::FILE *stream, bool terminal, const QStringList &targets, bool audit = false);

    void Started(int index);
    void Progress(int index, const QString &phase, int done, int total);
    void Finished(int index, const DeviceReport &report);
    void Note(const QString &text);
    // An audit's devices end as matching or differing, nothing written.
    // The last redraw, so the final state stays on the terminal.
    void Flush();

private:
    QString Head(int index) const;
    void Set(int index, const QString &state, bool now);

    std::FILE *stream_;
    bool terminal_;
    QStringList targets_;
    QStringList states_;
    int width_ = 0;
    int drawn_ = 0; // lines of the block on the screen
    bool audit_ = false;
    QElapsedTimer sinceDraw_;
};
