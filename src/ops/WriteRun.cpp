#include "ops/WriteRun.h"

#include "core/Frontend.h"
#include "session/DtuSession.h"

WriteRun::WriteRun(DtuSession &session, int total) : session_(session), total_(total)
{
    // A stop asked for after the last run ended must not end this one.
    session_.state.StopRequested = false;
}

WriteRun::~WriteRun()
{
    session_.state.StopRequested = false;
    session_.frontend().ShowWriteRun({done_, total_, QString(), false, QString()});
}

bool WriteRun::BeginRow(const QString &name, const QString &number)
{
    if (session_.state.StopRequested)
        return false;
    session_.frontend().ShowWriteRun({done_, total_, name, true, number});
    ++done_;
    return true;
}

