#pragma once
// A journal as the browser holds it: its lines, their summaries for the
// plots, the gaps' thresholds, and the reading that goes on as the journal
// grows. Loaded on a thread of its own, with its progress and a way to give
// it up.

#include "viewer/journal_data.h"
#include "viewer/summary.h"

#include <QString>
#include <atomic>
#include <memory>

namespace viewer {

class JournalModel {
public:
    JournalModel() : parser_(data_) {}
    JournalModel(const JournalModel &) = delete;
    JournalModel &operator=(const JournalModel &) = delete;

    const JournalData &data() const { return data_; }
    const ChannelSummary &summary(int channel) const { return summaries_[size_t(channel)]; }
    const LogicSummary &logicSummary() const { return logicSummary_; }
    qint64 analogGap() const { return analogGap_; }
    qint64 logicGap() const { return logicGap_; }

    // Bytes of the journal, in pieces; the summaries follow at once.
    void feed(QByteArrayView bytes);
    // Bytes of the file taken so far (the line not yet ended included).
    qint64 offset() const { return offset_; }
    qint64 lines() const { return parser_.lines(); }
    // Memory held, roughly, in bytes.
    size_t bytes() const;

    // For the first reading: the lines first, the summaries once at the end.
    void take(QByteArrayView bytes);
    void summarise();
    void reserve(size_t linesPerFrame);

private:
    void summariseFrom(size_t analog, size_t logic);

    JournalData data_;
    JournalParser parser_;
    std::array<ChannelSummary, kChannels> summaries_;
    LogicSummary logicSummary_;
    qint64 analogGap_ = 0, logicGap_ = 0;
    qint64 offset_ = 0;
    size_t summarisedAnalog_ = 0, summarisedLogic_ = 0;
};

struct LoadControl {
    std::atomic<qint64> done{0}, total{0};
    std::atomic<bool> cancel{false};
};

struct Loaded {
    std::unique_ptr<JournalModel> model;
    QString error;  // French, when the journal could not be read
    bool cancelled = false;
};

// The whole journal at path (on any thread).
Loaded loadJournal(const QString &path, LoadControl *control = nullptr);

}  // namespace viewer
