#pragma once
// "Parcourir un journal…": a window of its own over a whole journal, several
// at once if need be. The strip at the top shows the whole journal, the
// plot below the span chosen; the channels are chosen with their boxes; the
// markers A and B fill the "Mesures" window; the span can be exported as CSV
// or as a picture; "Suivre" keeps the newest line at the right end while the
// journal grows. The journal is read on a thread of its own, with its
// progress and "Annuler" in the window.

#include "viewer/journal_model.h"
#include "viewer/span_measures.h"

#include <QDateTime>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class MeasuresWindow;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace viewer {

class JournalFollower;
class JournalPlot;
class OverviewStrip;

class JournalViewer : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        // (save?, proposed name) → the chosen path, empty when cancelled;
        // empty: the panel's file dialogs.
        std::function<QString(bool, const QString &)> askPath;
        // The time "Aller à…" goes to; nothing when cancelled; empty: a dialog.
        std::function<std::optional<QDateTime>(const QDateTime &)> askTime;
        bool follow = false;   // "Suivre" ticked once read
        QString settingsFile;  // where the file dialogs keep their folder
    };

    JournalViewer(QWidget *owner, const QString &path, Options options);
    ~JournalViewer() override;

    QString path() const { return path_; }
    bool loaded() const { return model_ != nullptr; }
    const JournalModel *model() const { return model_.get(); }
    JournalPlot *plot() const { return plot_; }
    OverviewStrip *overview() const { return overview_; }
    MeasuresWindow *measures() const { return measures_; }
    JournalFollower *follower() const { return follower_; }

signals:
    void ready();  // the journal is read (or could not be)

public slots:
    void annuler_Click();
    void allerA_Click();
    void exporterCsv_Click();
    void exporterImage_Click();
    void suivre_Toggled(bool on);

private:
    void pollLoad();
    void loadDone();
    void appended(const QByteArray &bytes);
    void shownChanged();
    void markersChanged(const SpanMarkers &m);
    void hovered(qint64 t, bool inside);
    void showCounts();
    QString ask(bool save, const QString &start);
    std::array<bool, kChannels> shown() const;

    QString path_;
    Options options_;
    std::unique_ptr<JournalModel> model_;
    LoadControl control_;
    Loaded loaded_;
    QThread *reader_ = nullptr;
    QTimer *poll_ = nullptr;
    JournalPlot *plot_ = nullptr;
    OverviewStrip *overview_ = nullptr;
    std::array<QCheckBox *, kChannels> voies_{};
    QCheckBox *suivre_ = nullptr;
    QPushButton *allerA_ = nullptr, *exporterCsv_ = nullptr, *exporterImage_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *annuler_ = nullptr;
    QLabel *position_ = nullptr, *counts_ = nullptr;
    MeasuresWindow *measures_ = nullptr;
    JournalFollower *follower_ = nullptr;
    QString followError_;
};

}  // namespace viewer
