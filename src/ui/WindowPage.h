#pragma once
#include "ui/HandlerRunner.h"
#include "ui/WidgetHelpers.h"

#include <QCoreApplication>
#include <QList>
#include <QPushButton>
#include <QWidget>

class DtuSession;

// A page of the main window: its controls act on the session through the
// window's HandlerRunner, and those that would start a device action are
// locked while one runs.
class WindowPage : public QWidget {
public:
    QList<QWidget *> Lockable() const { return lockable_; }

protected:
    WindowPage(const char *objectName, DtuSession &session, HandlerRunner &run) : session_(session), run_(run)
    {
        setObjectName(QLatin1String(objectName));
    }

    // A button whose press runs `work` as a device action, locked while one runs.
    QPushButton *DeviceButton(const char *name, const QString &caption, std::function<void()> work)
    {
        QPushButton *button = WidgetHelpers::Button(name, caption);
        connect(button, &QPushButton::clicked, this, [this, work = std::move(work)] { run_.RunDevice(work); });
        lockable_ << button;
        return button;
    }

    DtuSession &session_;
    HandlerRunner &run_;
    QList<QWidget *> lockable_;
};
