#pragma once
#include "core/Frontend.h"

// A front end that shows nothing and answers every question with OK: for
// programs that only measure or probe the library (benchmarks, fuzz targets).
class SilentFrontend : public Frontend {
public:
    void AppendMemo(const QString &) override {}
    void AppendTransparent(const QString &) override {}
    void AppendControlMemo(const QString &) override {}
    void SetResultPanel(const QString &) override {}
    void RepeatResult(Memo) override {}
    void ShowMessage(const QString &) override {}
    bool AskOkCancel(const QString &, const QString &) override { return true; }
    void ShowError(const QString &) override {}
    QString AskOpenFile(const QString &, const QString &) override { return {}; }
    QString AskSaveFile(const QString &, const QString &) override { return {}; }
};
