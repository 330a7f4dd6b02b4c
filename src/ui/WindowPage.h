#pragma once
#include <QCoreApplication>
#include <QList>
#include <QWidget>

class DtuSession;
class HandlerRunner;

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

    DtuSession &session_;
    HandlerRunner &run_;
    QList<QWidget *> lockable_;
};
