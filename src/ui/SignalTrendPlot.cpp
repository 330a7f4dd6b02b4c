#include "ui/SignalTrendPlot.h"

#include "ops/SignalMeter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

SignalTrendPlot::SignalTrendPlot(const SignalHistory &history, QWidget *parent)
    : QWidget(parent), history_(history)
{
    setObjectName(QStringLiteral("SignalTrendPlot"));
    setAccessibleName(QCoreApplication::translate("SignalTrendPlot", "信号强度趋势"));
    setMinimumSize(240, 120);
}

void SignalTrendPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("31")) + 8;
    const QRectF area(left, 6, width() - left - 8, height() - metrics.height() - 12);

    const auto yOf = [&](int csq) { return area.bottom() - area.height() * csq / SignalMeter::kMaxCsq; };
    painter.setPen(QColor(220, 220, 220));
    for (int csq : {0, 10, 15, 20, SignalMeter::kMaxCsq}) {
        painter.drawLine(QPointF(area.left(), yOf(csq)), QPointF(area.right(), yOf(csq)));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, yOf(csq) - metrics.height() / 2.0, left - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(csq));
        painter.setPen(QColor(220, 220, 220));
    }
    painter.setPen(Qt::darkGray);
    painter.drawRect(area);
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), metrics.height() + 4),
                     Qt::AlignLeft | Qt::AlignTop, QCoreApplication::translate("SignalTrendPlot", "-10分钟"));
    painter.drawText(QRectF(area.left(), area.bottom() + 2, area.width(), metrics.height() + 4),
                     Qt::AlignRight | Qt::AlignTop, QCoreApplication::translate("SignalTrendPlot", "现在"));

    const auto &samples = history_.Samples();
    if (samples.empty())
        return;
    const qint64 end = samples.back().msecs;
    const auto xOf = [&](qint64 msecs) {
        return area.right() - area.width() * double(end - msecs) / double(SignalHistory::kSpanMs);
    };
    QPainterPath line;
    bool drawing = false;
    for (const SignalSample &sample : samples) {
        if (!SignalMeter::Known(sample.csq)) {
            drawing = false;
            continue;
        }
        const QPointF point(xOf(sample.msecs), yOf(sample.csq));
        if (drawing)
            line.lineTo(point);
        else
            line.moveTo(point);
        drawing = true;
    }
    painter.setPen(QPen(QColor(0, 90, 170), 2));
    painter.drawPath(line);
    painter.setBrush(QColor(0, 90, 170));
    for (const SignalSample &sample : samples)
        if (SignalMeter::Known(sample.csq))
            painter.drawEllipse(QPointF(xOf(sample.msecs), yOf(sample.csq)), 2.5, 2.5);
}
