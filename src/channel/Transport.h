#pragma once
#include <QByteArray>

// One way of reaching the device: the serial port, the TCP maintenance
// connection, or a fake in tests. Nothing above DataChannel knows which.
class Transport {
public:
    virtual ~Transport() = default;
    virtual bool IsOpen() const = 0;
    // Sends bytes; a short or failed write is not reported. A transport may
    // throw DtuError when the port itself rejects the write.
    virtual void Write(const QByteArray &bytes) = 0;
    // Returns at once with every byte waiting (possibly none). May throw
    // DtuError when the port itself fails.
    virtual QByteArray ReadAvailable() = 0;
};
