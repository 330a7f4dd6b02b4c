#pragma once
#include <QString>
#include <QtGlobal>
#include <deque>

// How a technician reads the device's CSQ value (0..31, 99 = not known):
// its dBm, a quality word and a level for the bar, and the readings of the
// last ten minutes for the trend plot. No widgets, no device: the meter's
// window part only paints what this says.
namespace SignalMeter {

// CSQ 99 and anything outside 0..31 mean the modem does not know.
inline constexpr int kMaxCsq = 31;

enum class Quality { Unknown, NoSignal, Poor, Fair, Good, Excellent };

bool Known(int csq);
// "-79 dBm" (-113 + 2 x CSQ: CSQ 0 is -113 dBm or less, 31 is -51 dBm or
// more), or "未知" when the value is not known.
QString DbmText(int csq);
// >= 20 很好, 15..19 良好, 10..14 一般, 2..9 差, 0..1 无信号, otherwise 未知.
Quality QualityOf(int csq);
QString QualityWord(Quality quality);

} // namespace SignalMeter

// One poll: the time it was taken and the CSQ it read, or -1 when the
// device gave no usable answer (a gap in the plot).
struct SignalSample {
    qint64 msecs = 0;
    int csq = -1;
};

// The readings of the last ten minutes, oldest first.
class SignalHistory {
public:
    static constexpr qint64 kSpanMs = 10 * 60 * 1000;

    // Adds a reading and forgets those older than the span before it.
    void Add(qint64 msecs, int csq);
    const std::deque<SignalSample> &Samples() const { return samples_; }

private:
    std::deque<SignalSample> samples_;
};
