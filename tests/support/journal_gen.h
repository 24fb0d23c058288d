#pragma once
// Journals made up for the browser's tests and benchmarks: one analog and
// one logic line per step, slow waves on the channels and inputs that switch
// at their own pace, with pauses (the panel closed) and changes of unit where
// asked. Written as the panel's journal writes them.

#include "acquisition/times.h"
#include "files/journal.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <cmath>
#include <vector>

namespace panel {

struct MadeJournal {
    QDateTime start;
    qint64 steps = 100;    // lines of each frame
    qint64 stepMs = 1000;  // between two lines of a frame
    struct Pause {
        qint64 after;  // the step after which the journal pauses
        qint64 ms;     // for how long
    };
    std::vector<Pause> pauses;
    qint64 unitChangeAt = -1;  // the step from which channel 1 is in mV
};

inline double madeValue(qint64 i, int k)
{
    return 2.5 + 2.0 * std::sin(2 * M_PI * double(i) / (600.0 * (k + 1))) + 0.01 * double((i * 7919 + k * 31) % 50);
}

inline bool madeBit(qint64 i, int k) { return ((i >> (k + 2)) & 1) != 0; }

inline QByteArray madeJournalBytes(const MadeJournal &j)
{
    files::Units units;
    units.fill(QStringLiteral("V"));
    QByteArray out = files::journalHeader(units);
    out.reserve(qsizetype(j.steps) * 110 + 200);
    qint64 t = j.start.toMSecsSinceEpoch();
    size_t pause = 0;
    for (qint64 i = 0; i < j.steps; ++i) {
        if (i == j.unitChangeAt) {
            units[0] = QStringLiteral("mV");
            out += files::journalHeader(units);
        }
        const QByteArray time = acquisition::isoTime(QDateTime::fromMSecsSinceEpoch(t)).toLatin1();
        out += time;
        out += ",A";
        for (int k = 0; k < 8; ++k) {
            double v = madeValue(i, k);
            if (k == 0 && j.unitChangeAt >= 0 && i >= j.unitChangeAt) v *= 1000;
            out += ',';
            out += QByteArray::number(v, 'f', 2);
        }
        out += "\r\n";
        out += acquisition::isoTime(QDateTime::fromMSecsSinceEpoch(t + 120)).toLatin1();
        out += ",L";
        for (int k = 0; k < 8; ++k) out += madeBit(i, k) ? ",1" : ",0";
        out += "\r\n";
        t += j.stepMs;
        if (pause < j.pauses.size() && j.pauses[pause].after == i) t += j.pauses[pause++].ms;
    }
    return out;
}

inline bool writeMadeJournal(const QString &path, const MadeJournal &j)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(madeJournalBytes(j)) >= 0 && f.flush();
}

}  // namespace panel
