#include "engine/bench.h"

#include "acquisition/tables.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QEventLoop>
#include <QTimer>

void enableTimer(QTimer *t)
{
    if (!t->isActive()) t->start();
}

namespace {

QTimer *makeTimer(QObject *parent, const char *name, int periodMs, bool running)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(periodMs);
    if (running) t->start();
    return t;
}

}  // namespace

Bench::Bench(const Clock &clock, QObject *parent) : QObject(parent), clock_(clock), tables_(std::make_unique<Tables>())
{
    setObjectName(QStringLiteral("bench"));
    analog_ = new FrameEngine(Channel::Analog, *this, *tables_, this);
    logic_ = new FrameEngine(Channel::Logic, *this, *tables_, this);
    serial_ = new SerialComponent(this);
    serial_->setObjectName(QStringLiteral("MSComm1"));
    connect(serial_, &SerialComponent::onComm, this, &Bench::MSComm1_OnComm);
    connect(serial_, &SerialComponent::statusChanged, this, &Bench::statusChanged);

    Timer1 = makeTimer(this, "Timer1", 600, true);
    Timer2 = makeTimer(this, "Timer2", 400, false);
    Timer4 = makeTimer(this, "Timer4", 800, false);
    Timer8 = makeTimer(this, "Timer8", 400, false);
    Timer5 = makeTimer(this, "Timer5", 1100, false);
    Timer7 = makeTimer(this, "Timer7", 500, false);
    connect(Timer1, &QTimer::timeout, this, &Bench::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Bench::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Bench::Timer4_Timer);
    connect(Timer8, &QTimer::timeout, this, &Bench::Timer8_Timer);
    connect(Timer5, &QTimer::timeout, this, &Bench::Timer5_Timer);
    connect(Timer7, &QTimer::timeout, this, &Bench::Timer7_Timer);
}

Bench::~Bench()
{
    // The frames go first: they record into the tables.
    delete analog_;
    delete logic_;
}

bool Bench::linkFailing() const { return !serial_->lastError().isEmpty(); }

// ---------------------------------------------------------------- outputs

quint8 Bench::outputByte() const
{
    quint8 byte = 0;
    for (int i = 0; i < 8; ++i)
        if (outputs_[size_t(i)]) byte |= quint8(1u << i);
    return byte;
}

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
    std::array<QColor, 8> colours;
    for (size_t i = 0; i < 8; ++i) colours[i] = outputs_[i] ? outputs::lampOn() : outputs::lampOff();
    outputs::applyTimetable(colours, rows, [this] { return text::timeText(clock_); });
    std::array<bool, 8> states;
    for (size_t i = 0; i < 8; ++i) states[i] = outputs::isOn(colours[i]);
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
