#pragma once
#include "sim/SimLink.h"

#include <QSocketNotifier>
#include <QString>
#include <memory>

// Serves the device on a new pseudo-terminal: the tool opens the slave side
// as if it were a serial port.
class PtyServer {
public:
    explicit PtyServer(SimDevice &device);
    ~PtyServer();
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    // Creates the pseudo-terminal in raw mode. False with *error on failure.
    bool Open(QString *error);
    QString SlavePath() const { return slavePath_; }

private:
    void ReadMaster();
    void Flush();

    int master_ = -1;
    // Held open so the master never sees a hang-up while no tool has the
    // port open, and so the raw settings stay between the tool's opens.
    int slave_ = -1;
    QString slavePath_;
    QByteArray pending_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    SimLink link_;
};
