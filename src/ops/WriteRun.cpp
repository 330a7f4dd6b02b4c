#include "ops/WriteRun.h"

#include "core/Frontend.h"
#include "session/DtuSession.h"

WriteRun::WriteRun(DtuSession &session, int total) : session_(session), total_(total) {}

WriteRun::~WriteRun()
{
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

