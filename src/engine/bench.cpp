#include "engine/bench.h"

#include "acquisition/tables.h"
#include "engine/line.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

Bench::Bench(const Clock &clock, QObject *parent, bool lineThread)
    : QObject(parent), clock_(clock), tables_(std::make_unique<Tables>())
{
    setObjectName(QStringLiteral("bench"));
    analog_ = new FrameEngine(Channel::Analog, *this, *tables_, this);
    logic_ = new FrameEngine(Channel::Logic, *this, *tables_, this);
    if (lineThread) {  // with the system's clock, which the line keeps itself
        line_ = new Line(nullptr);
        thread_ = new QThread(this);
        thread_->setObjectName(QStringLiteral("ligne"));
        line_->moveToThread(thread_);
        thread_->start();
    } else {
        line_ = new Line(&clock, this);
    }
    connect(line_, &Line::statusChanged, this, &Bench::statusChanged);
    connect(line_, &Line::received, this, &Bench::received);
    connect(line_, &Line::bufferReplaced, this, [this] { emit bufferReplaced(); });
    connect(line_, &Line::commEvent, this, &Bench::MSComm1_OnComm);
    connect(line_, &Line::requestSent, this, &Bench::requestSent);
    connect(line_, &Line::replyCollected, this, &Bench::decodeReply);
    connect(line_, &Line::endRequested, this, &Bench::endRequested);

    Timer1 = designTimer(this, QStringLiteral("Timer1"), 600);
    Timer1->start();
    connect(Timer1, &QTimer::timeout, this, &Bench::Timer1_Timer);
}

Bench::~Bench()
{
    // The frames go first: they record into the tables.
    delete analog_;
    delete logic_;
    if (!thread_) return;
    // The port closes on the line's own thread, which then ends.
    onLine([this] { delete line_; }, true);
    thread_->quit();
    thread_->wait();
}

void Bench::onLine(std::function<void()> f, bool wait)
{
    if (!thread_ || QThread::currentThread() == thread_)
        f();
    else
        QMetaObject::invokeMethod(line_, std::move(f), wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

SerialComponent &Bench::serial() { return line_->serial(); }
const SerialComponent &Bench::serial() const { return line_->serial(); }
int Bench::portNumber() const { return serial().portNumber(); }
void Bench::setPortNumber(int number) { serial().setPortNumber(number); }
QString Bench::devicePath() const { return serial().devicePath(); }
void Bench::setDevicePath(const QString &device) { serial().setDevicePath(device); }
board::PortMap Bench::deviceMap() const { return serial().deviceMap(); }
void Bench::setDeviceMap(const board::PortMap &map) { serial().setDeviceMap(map); }
void Bench::closePort()
{
    onLine([line = line_] { line->closePort(); }, true);
}
QString Bench::buffer() const { return line_->buffer(); }
bool Bench::allOffDue() const { return line_->allOffDue(); }
QByteArray Bench::lastWritten() const { return line_->lastWritten(); }
int Bench::lastOutputByte() const { return line_->lastOutputByte(); }
bool Bench::linkFailing() const { return !serial().lastError().isEmpty(); }

// ---------------------------------------------------------------- outputs

quint8 Bench::outputByte() const { return board::outputByte(outputs_); }

void Bench::setOutputs(const std::array<bool, 8> &states)
{
    if (states == outputs_) return;
    outputs_ = states;
    onLine([line = line_, byte = outputByte()] { line->setOutputByte(byte); });
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
    onLine([line = line_] { line->closePort(); });
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

void Bench::setTimetable(const Timetable &rows)
{
    if (rows == timetable_) return;
    timetable_ = rows;
    emit timetableChanged();
}

void Bench::setTimetableRow(int index, const outputs::TimetableRow &row)
{
    if (index < 0 || index > 7) return;
    Timetable rows = timetable_;
    rows[size_t(index)] = row;
    setTimetable(rows);
}

void Bench::Timer1_Timer() { applyTimetable(timetable_); }

// ---------------------------------------------------------------- master switch

void Bench::flipSwitch()
{
    if (waiting_ || shutting_down_) return;  // the all-off command is on its way
    if (marche_ == 0) {
        marche_ = 1;
        emit switchChanged(true);
        enableTimer(Timer1);
        onLine([line = line_] { line->switchOn(); });
    } else if (marche_ == 1) {
        marche_ = 0;
        emit switchChanged(false);
        setOutputs({});
        onLine([line = line_] { line->switchOff(); });  // it hears the byte 0 for one second
        waitOneSecond();
        if (shutting_down_) return;  // the shutdown, begun meanwhile, sees to the rest
        Timer1->stop();
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

void Bench::MSComm1_OnComm(int)
{
    if (!shutting_down_) enableTimer(Timer1);
}

// Whoever puts characters into the buffer reads them back at once.
void Bench::appendToBuffer(const QString &received)
{
    onLine([line = line_, received] { line->appendToBuffer(received); }, true);
}

void Bench::setBuffer(const QString &text)
{
    onLine([line = line_, text] { line->setBuffer(text); }, true);
}
