#include "cli/FleetProgress.h"

namespace {
constexpr int kRedrawMs = 100;
}

FleetProgress::FleetProgress(std::FILE *stream, bool terminal, const QStringList &targets)
    : stream_(stream), terminal_(terminal), targets_(targets)
{
    for (const QString &t : targets) {
        states_ << QStringLiteral("waiting");
        width_ = qMax(width_, static_cast<int>(t.size()));
    }
}

QString FleetProgress::Head(int index) const
{
    const int digits = static_cast<int>(QString::number(targets_.size()).size());
    return QStringLiteral("[%1/%2] %3  ")
        .arg(index + 1, digits)
        .arg(targets_.size())
        .arg(targets_[index].leftJustified(width_));
}

void FleetProgress::Print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream_);
    std::fflush(stream_);
}

void FleetProgress::Set(int index, const QString &state, bool now)
{
    states_[index] = state;
    if (!terminal_)
        return;
    if (!now && sinceDraw_.isValid() && sinceDraw_.elapsed() < kRedrawMs)
        return;
    Flush();
}

void FleetProgress::Flush()
{
    if (!terminal_)
        return;
    QString text;
    if (drawn_ > 0)
        text += QStringLiteral("\x1b[%1A").arg(drawn_); // back to the block's first line
    for (int i = 0; i < states_.size(); ++i)
        text += QStringLiteral("\r\x1b[K") + Head(i) + states_[i] + QLatin1Char('\n');
    drawn_ = static_cast<int>(states_.size());
    Print(text);
    sinceDraw_.start();
}

void FleetProgress::Started(int index)
{
    Set(index, QStringLiteral("open"), false);
    if (!terminal_)
        Print(Head(index) + QStringLiteral("started\n"));
}

void FleetProgress::Progress(int index, const QString &phase, int done, int total)
{
    Set(index, total > 0 && phase == QLatin1String("write") ? QStringLiteral("%1 %2/%3").arg(phase).arg(done).arg(total)
                                                           : phase,
        false);
}

void FleetProgress::Finished(int index, const DeviceReport &r)
{
    QString state = QStringLiteral("%1  %2 written").arg(r.outcome).arg(r.written);
    if (!r.failed.isEmpty())
        state += QStringLiteral(", %1 failed").arg(r.failed.size());
    if (!r.differences.isEmpty())
        state += QStringLiteral(", %1 differ").arg(r.differences.size());
    state += QStringLiteral("  %1 s").arg(r.seconds, 0, 'f', 1);
    if (!r.detail.isEmpty())
        state += QStringLiteral("  (") + r.detail + QLatin1Char(')');
    Set(index, state, true);
    if (!terminal_)
        Print(Head(index) + state + QLatin1Char('\n'));
}

void FleetProgress::Note(const QString &text)
{
    if (terminal_) {
        Flush();
        drawn_ = 0; // the note sits below the block; redraw beneath it
    }
    Print(text + QLatin1Char('\n'));
}
