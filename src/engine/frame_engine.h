#pragma once
// One acquisition frame without its window: the analog channels or the logic
// inputs. It holds the frame's acquisition modes (manual, cyclic with its
// interval, programmed with its day and hour), "Mémorisation", the analog
// coefficients and units, the values last decoded, and decodes the replies
// the bench hands it. Every change is said by a signal, so that the window,
// or anything else that drives the bench, shows it at once.

#include "acquisition/acquired.h"
#include "acquisition/channel.h"
#include "acquisition/schedule.h"

#include <QObject>
#include <QString>
#include <array>

class Clock;
class QTimer;
struct Tables;

// What a frame needs from the line it shares with the other frame.
class FrameLine {
public:
    virtual ~FrameLine() = default;
    virtual bool switchedOn() const = 0;  // marche == 1
    // The start of one acquisition once the switch is on; false when held
    // behind the other frame's acquisition (the frame is told by
    // heldStartReleased once it proceeds).
    virtual bool beginRequest(Channel channel) = 0;
    virtual const Clock &clock() const = 0;
    virtual bool linkFailing() const = 0;     // the serial line itself fails (its reason is said)
    virtual bool journalRunning() const = 0;  // the continuous journal records every acquisition
};

class FrameEngine : public QObject {
    Q_OBJECT
public:
    // The "Acquisition Programmée" button: the platform's face (the analog
    // frame until its first Validation or Annulation), grey when idle, red
    // when a mode is armed.
    enum class Programme { Plain, Idle, Armed };

    FrameEngine(Channel channel, FrameLine &line, Tables &tables, QObject *parent = nullptr);

    Channel channel() const { return channel_; }
    bool isAnalog() const { return channel_ == Channel::Analog; }

    // ---- acquisitions
    // One acquisition ("Acquisition Manuelle"): nothing while the switch is
    // off; false when the start is held behind the other frame.
    bool acquireNow();
    // The decoding step: the receive buffer as it stood once the decoding
    // delay after the request ran out, and when the request was written.
    // Coefficients and units are read now.
    void decode(const QString &snapshot, const QDateTime &requested);
    // A start held behind the other frame has just proceeded.
    void heldStartReleased();
    // The panel is ending: no cyclic wait, no programmed check.
    void stop();

    // ---- the modes, as the programming panel sets them
    int intervalIndex() const { return interval_index_; }  // -1: none chosen
    void setIntervalIndex(int position);
    bool cyclicAuto() const { return cyclic_auto_; }
    void setCyclicAuto(bool on);  // ticking it unticks the programmed box
    bool programmedAuto() const { return programmed_auto_; }
    void setProgrammedAuto(bool on);             // ticking it unticks the cyclic box
    int dayIndex() const { return day_index_; }  // -1: none chosen
    void setDayIndex(int position);
    QString hourText() const { return hour_text_; }
    void setHourText(const QString &text);
    void copyTime();  // "Heure  PC": the hour takes the current time text
    // "Validation": arms the chosen mode; false (and said) when the cyclic
    // box is ticked without an interval.
    bool validate();
    void cancel();  // "Annulation": both modes off
    // Shorthands: the interval (list position) or day and hour, the box, Validation.
    bool setCyclic(int intervalPosition);
    bool setCyclicSeconds(int seconds);  // one of 3600, 1800, 600, 60, 30, 10, 2
    bool setProgrammed(int dayPosition, const QString &hour);
    Programme programme() const { return programme_; }
    bool cycleRunning() const { return wait_.active() || restart_when_released_; }
    // The analog panel's diagnostic label: the interval position when the
    // cyclic box last changed.
    QString diagnostic() const { return diagnostic_; }

    // ---- "Mémorisation"; any change restarts the write index at 0
    bool memorising() const { return memorising_; }
    void setMemorising(bool on);

    // ---- the analog coefficients and units, channels 1 … 8
    QString coefficient(int k) const { return inRange(k) ? coefficients_[size_t(k - 1)] : QString(); }
    void setCoefficient(int k, const QString &text);
    QString unit(int k) const { return inRange(k) ? units_[size_t(k - 1)] : QString(); }
    void setUnit(int k, const QString &text);
    std::array<QString, 8> units() const { return units_; }

    // ---- what the last decoding gave
    // As the frame shows them: analog "1.96 V" (channels skipped keep their
    // text), logic "0" / "1"; index 0 is channel 1.
    std::array<QString, 8> shown() const { return shown_; }
    const acquisition::Acquired &last() const { return last_; }

public slots:
    void programmedCheck();  // Timer6 / Timer9, every 500 ms while armed
    void cyclicWaitTick();   // the end of (part of) a cyclic wait

signals:
    void modeChanged();  // interval, boxes, day, hour, the button's colour
    void panelClosed();  // the programming panel hides (Validation, Annulation, end of a cycle)
    void memorisingChanged(bool on);
    void coefficientChanged(int k);
    void unitChanged(int k);
    // Every decoded acquisition, memorised or not, once the tables hold it.
    void valuesDecoded(const acquisition::Acquired &a);
    void statusChanged(const QString &message);
    // This sentence, if the status line still shows it, is no longer true.
    void statusWithdrawn(const QString &message);

private:
    static bool inRange(int k) { return k >= 1 && k <= 8; }
    void decodeAnalog(const QString &buffer, const QDateTime &requested);
    void decodeLogic(const QString &buffer, const QDateTime &requested);
    void sayWhetherAnswered(bool answered);
    void setProgramme(Programme p);
    void armCyclicTimer();

    const Channel channel_;
    FrameLine &line_;
    Tables &tables_;
    int interval_index_ = 0;
    bool cyclic_auto_ = false;
    bool programmed_auto_ = false;
    int day_index_ = 1;  // "Lundi"
    QString hour_text_;
    Programme programme_;
    QString diagnostic_;
    bool memorising_ = false;
    std::array<QString, 8> coefficients_, units_, shown_;
    acquisition::Acquired last_;
    acquisition::CyclicWait wait_;
    // The cyclic start was held: the next wait begins when it proceeds.
    bool restart_when_released_ = false;
    QTimer *programmed_timer_ = nullptr;  // Timer6 / Timer9
    QTimer *cyclic_timer_ = nullptr;      // single shot, the remaining part of a wait
};
