#pragma once
#include <QByteArray>

#include <functional>

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

    // Whether this transport calls the arrival hook when bytes come in; one
    // that does not must be read again and again to notice them.
    virtual bool TellsArrival() const { return false; }
    // Called as bytes come in (by a transport that TellsArrival); empty for none.
    void SetArrivalHook(std::function<void()> hook) { arrivalHook_ = std::move(hook); }
    bool HasArrivalHook() const { return bool(arrivalHook_); }

protected:
    void BytesArrived()
    {
        if (arrivalHook_)
            arrivalHook_();
    }

private:
    std::function<void()> arrivalHook_;
};
