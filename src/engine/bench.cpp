#include "engine/bench.h"

#include "link/protocol.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QEventLoop>
#include <QTimer>

Bench::Bench(const Clock &clock, QObject *parent) : QObject(parent), clock_(clock)
{
    setObjectName(QStringLiteral("bench"));
    serial_ = new SerialComponent(this);
    serial_->setObjectName(QStringLiteral("MSComm1"));
    connect(serial_, &SerialComponent::onComm, this, &Bench::MSComm1_OnComm);
    connect(serial_, &SerialComponent::statusChanged, this, &Bench::statusChanged);

    Timer1 = designTimer(this, QStringLiteral("Timer1"), 600);
    Timer1->start();
    Timer2 = designTimer(this, QStringLiteral("Timer2"), 400);
    Timer4 = designTimer(this, QStringLiteral("Timer4"), 800);
    Timer8 = designTimer(this, QStringLiteral("Timer8"), 400);
    connect(Timer1, &QTimer::timeout, this, &Bench::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Bench::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Bench::Timer4_Timer);
    connect(Timer8, &QTimer::timeout, this, &Bench::Timer8_Timer);
}

// ---------------------------------------------------------------- outputs

quint8 Bench::outputByte() const { return board::outputByte(outputs_); }

void Bench::setOutputs(const std::array<bool, 8> &states)
{
    if (states == outputs_) return;
    outputs_ = states;
    emit outputsChanged();
}

void Bench::toggleOutput(int index)
{
    if (index < 0 || index > 7) return;
    std::array<bool, 8> states = outputs_;
    states[size_t(index)] = !states[size_t(index)];
    setOutputs(states);
}

void Bench::allOutputsOff()
{
    setOutputs({});
    if (serial_->isOpen()) serial_->close();
}

void Bench::allOutputsOn()
{
    std::array<bool, 8> states;
    states.fill(true);
    setOutputs(states);
}

void Bench::invertOutputs()
{
    std::array<bool, 8> states = outputs_;
    for (bool &s : states) s = !s;
    setOutputs(states);
}

void Bench::applyTimetable(const Timetable &rows)
{
    std::array<bool, 8> states = outputs_;
    outputs::applyTimetable(states, rows, [this] { return text::timeText(clock_); });
    setOutputs(states);
}

void Bench::Timer1_Timer()
{
    if (timetable_) applyTimetable(timetable_());
}

// ---------------------------------------------------------------- master switch

void Bench::flipSwitch()
{
    if (waiting_ || shutting_down_) return;  // the all-off command is on its way
    if (marche_ == 0) {
        marche_ = 1;
        noteOwed();
        output_since_ms_ = clock_.monotonicMs();
        emit switchChanged(true);
        enableTimer(Timer1);
        enableTimer(Timer4);
    } else if (marche_ == 1) {
        marche_ = 0;
        emit switchChanged(false);
        allOutputsOff();
        waitOneSecond();             // Timer4 fires in here and sends the byte 0
        if (shutting_down_) return;  // the shutdown, begun meanwhile, sees to the rest
        Timer1->stop();
        Timer4->stop();
        noteOwed();
    }
}

void Bench::waitOneSecond()
{
    waiting_ = true;
    QEventLoop loop;
    QTimer::singleShot(1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    waiting_ = false;
}

// ---------------------------------------------------------------- serial line and buffer

void Bench::MSComm1_OnComm(int kind)
{
    if (kind == SerialComponent::kReceived) appendToBuffer(serial_->readAll());
    if (!shutting_down_) enableTimer(Timer1);
}

void Bench::appendToBuffer(const QString &received)
{
    if (received.isEmpty()) return;
    buffer_ += received;
    if (buffer_.size() > kBufferCap) buffer_.remove(0, buffer_.size() - kBufferCap);
    emit this->received(received);
}

void Bench::setBuffer(const QString &text)
{
    buffer_ = text;
    emit bufferReplaced();
}
