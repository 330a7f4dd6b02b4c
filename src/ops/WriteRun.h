#pragma once
#include <QString>

class DtuSession;

// One run of parameter writes as the user sees it: "设置" over the listed
// rows, or a batch over a whole table. Before each row it reports where the
// run stands to the front end and tells the loop whether the user asked to
// stop (AppState::StopRequested); the stop takes effect between exchanges,
// never inside one. The end of the run is reported when it goes out of scope.
class WriteRun {
public:
    WriteRun(DtuSession &session, int total);
    ~WriteRun();
    WriteRun(const WriteRun &) = delete;
    WriteRun &operator=(const WriteRun &) = delete;

    // Called before writing a row: false when a stop was asked for (the row
    // is not written); otherwise reports the row and counts it as tried.
    bool BeginRow(const QString &name, const QString &number = {});
    int Done() const { return done_; }

private:
    DtuSession &session_;
    int total_;
    int done_ = 0;
};

