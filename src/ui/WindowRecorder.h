#pragma once
#include "actions/Recorder.h"

#include <QCoreApplication>
#include <QString>

class Frontend;

// The window's recorder: where the window keeps its entries and whether it
// keeps them (the window's settings, the menu's 记录设备档案 and
// 设备档案位置...), and the one warning, in the traffic memo, when an entry
// could not be kept. The actions keep the entries themselves.
class WindowRecorder {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    explicit WindowRecorder(Frontend &frontend);

    Recorder &recorder() { return recorder_; }
    // Shows the first failure of the store, once.
    void WarnOnce();

    // The settings: the location as typed ("" for the default file).
    QString LocationText() const { return locationText_; }
    bool IsOn() const { return on_; }
    // Keeps a new location; false with the reason when it cannot be one.
    bool SetLocationText(const QString &text, QString *error);
    void SetOn(bool on);
    // Where the records are read from: the location set, on or off.
    RecordLocation Location() const;

private:
    void Apply();

    Frontend &frontend_;
    Recorder recorder_;
    QString locationText_;
    bool on_ = true;
};
