#include "cli/FleetProgress.h"

#include "cli/CliText.h"
#include "fleet/FleetWording.h"

#include <QCoreApplication>

namespace {
constexpr int kRedrawMs = 100;
} // namespace

FleetProgress::FleetProgress(std::FILE *stream, bool terminal, const QStringList &targets, bool audit)
    : stream_(stream), terminal_(terminal), targets_(targets), audit_(audit)
{
    for (const QString &t : targets) {
        states_ << QCoreApplication::translate("FleetProgress", "等待");
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
    CliText::Write(stream_, text);
    sinceDraw_.start();
}

void FleetProgress::Started(int index)
{
    Set(index, FleetWording::Phase({}), false);
    if (!terminal_)
        CliText::Write(stream_, Head(index) + QCoreApplication::translate("FleetProgress", "开始") + QLatin1Char('\n'));
}

void FleetProgress::Progress(int index, const QString &phase, int done, int total)
{
    QString state = FleetWording::Phase(phase);
    if (phase == QLatin1String("write") && total > 0)
        state += QStringLiteral(" %1/%2").arg(done).arg(total);
    Set(index, state, false);
}

void FleetProgress::Finished(int index, const DeviceReport &r)
{
    QString state = FleetWording::Outcome(r.outcome, audit_);
    if (!audit_) {
        state += QStringLiteral("  ") + QCoreApplication::translate("FleetProgress", "写入%1行").arg(r.written);
        if (r.unchanged > 0)
            state += QCoreApplication::translate("FleetProgress", "，%1行已相同").arg(r.unchanged);
    }
    if (!r.failed.isEmpty())
        state += QCoreApplication::translate("FleetProgress", "，失败%1行").arg(r.failed.size());
    if (!r.differences.isEmpty())
        state += QCoreApplication::translate("FleetProgress", "，%1行不符").arg(r.differences.size());
    state += QStringLiteral("  ") + QCoreApplication::translate("FleetProgress", "%1秒").arg(r.seconds, 0, 'f', 1);
    if (const QString why = FleetWording::Detail(r.why); !why.isEmpty())
        state += QStringLiteral("  (") + why + QLatin1Char(')');
    Set(index, state, true);
    if (!terminal_)
        CliText::Write(stream_, Head(index) + state + QLatin1Char('\n'));
}

void FleetProgress::Note(const QString &text)
{
    if (terminal_) {
        Flush();
        drawn_ = 0; // the note sits below the block; redraw beneath it
    }
    CliText::Write(stream_, text + QLatin1Char('\n'));
}
