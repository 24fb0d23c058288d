#include "engine/frame_engine.h"

#include "acquisition/decode.h"
#include "acquisition/table_ops.h"
#include "acquisition/tables.h"
#include "text/clock.h"
#include "text/numbers.h"

#include <QTimer>
#include <algorithm>

namespace {

QTimer *frameTimer(QObject *parent, const char *name, int periodMs)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(periodMs);
    return t;
}

}  // namespace

FrameEngine::FrameEngine(Channel channel, FrameLine &line, Tables &tables, QObject *parent)
    : QObject(parent), channel_(channel), line_(line), tables_(tables),
      programme_(channel == Channel::Analog ? Programme::Plain : Programme::Idle)
{
    setObjectName(isAnalog() ? QStringLiteral("analog") : QStringLiteral("logic"));
    coefficients_.fill(QStringLiteral("1"));
    units_.fill(QStringLiteral("V"));
    shown_.fill(isAnalog() ? QStringLiteral("0.00") : QStringLiteral("0"));
    last_.channel = channel;
    programmed_timer_ = frameTimer(this, isAnalog() ? "Timer6" : "Timer9", 500);
    cyclic_timer_ = frameTimer(this, "cyclicWait", 0);
    cyclic_timer_->setSingleShot(true);
    connect(programmed_timer_, &QTimer::timeout, this, &FrameEngine::programmedCheck);
    connect(cyclic_timer_, &QTimer::timeout, this, &FrameEngine::cyclicWaitTick);
}

// ---------------------------------------------------------------- acquisitions

bool FrameEngine::acquireNow()
{
    if (!line_.switchedOn()) return true;
    return line_.beginRequest(channel_);
}

void FrameEngine::decode(const QString &snapshot, const QDateTime &requested)
{
    if (isAnalog())
        decodeAnalog(snapshot, requested);
    else
        decodeLogic(snapshot, requested);
}

void FrameEngine::decodeAnalog(const QString &buffer, const QDateTime &requested)
{
    const acquisition::AnalogReading reading = acquisition::decodeAnalog(buffer, coefficients_, units_);
    for (size_t k = 0; k < 8; ++k)
        if (reading[k]) shown_[k] = reading[k]->label;
    const bool memorising = memorising_;
    const int slot = memorising ? tables_.indice_a : -1;
    // The index wraps whether or not the box is ticked; only a recording
    // that was on has something to stop.
    const bool full = acquisition::storeAnalog(tables_, memorising, reading, requested) && memorising;
    if (full) setMemorising(false);
    last_ = acquisition::analogAcquired(reading, units_, requested, slot, text::decimalSeparator());
    last_.answered = acquisition::isAnalogReply(buffer);
    emit valuesDecoded(last_);
    if (full && cycleRunning())
        emit statusChanged(acquisition::memorisationFullText(true, tables_.nbre_acqui + 1, line_.journalRunning()));
    sayWhetherAnswered(acquisition::hasAnalogMarker(buffer));
}

void FrameEngine::decodeLogic(const QString &buffer, const QDateTime &requested)
{
    const acquisition::LogicBits bits = acquisition::decodeLogic(buffer);
    for (size_t i = 0; i < 8; ++i) shown_[i] = QString(bits[i]);
    const bool memorising = memorising_;
    const int slot = memorising ? tables_.indice_l / 8 : -1;
    const bool full = acquisition::storeLogic(tables_, memorising, bits, requested) && memorising;
    if (full) setMemorising(false);
    last_ = acquisition::logicAcquired(bits, requested, slot);
    last_.answered = acquisition::isLogicReply(buffer);
    emit valuesDecoded(last_);
    if (full && cycleRunning())
        emit statusChanged(acquisition::memorisationFullText(false, tables_.nbre_acqui + 1, line_.journalRunning()));
    sayWhetherAnswered(acquisition::hasLogicMarker(buffer));
}

// A buffer without the frame's markers means the board did not answer, which
// is said (unless the line failing is said already); the next reply takes
// that sentence back, and only that one.
void FrameEngine::sayWhetherAnswered(bool answered)
{
    const QString silence = isAnalog() ? QStringLiteral("Pas de réponse de la carte (entrées analogiques)")
                                       : QStringLiteral("Pas de réponse de la carte (entrées logiques)");
    if (!answered && !line_.linkFailing())
        emit statusChanged(silence);
    else if (answered)
        emit statusWithdrawn(silence);
}

void FrameEngine::stop()
{
    wait_.stop();
    restart_when_released_ = false;
    cyclic_timer_->stop();
    programmed_timer_->stop();
}

// ---------------------------------------------------------------- memorisation, coefficients, units

void FrameEngine::setMemorising(bool on)
{
    if (on == memorising_) return;
    memorising_ = on;
    (isAnalog() ? tables_.indice_a : tables_.indice_l) = 0;
    emit memorisingChanged(on);
}

void FrameEngine::setCoefficient(int k, const QString &text)
{
    if (!inRange(k) || coefficients_[size_t(k - 1)] == text) return;
    coefficients_[size_t(k - 1)] = text;
    emit coefficientChanged(k);
}

void FrameEngine::setUnit(int k, const QString &text)
{
    if (!inRange(k) || units_[size_t(k - 1)] == text) return;
    units_[size_t(k - 1)] = text;
    emit unitChanged(k);
}
