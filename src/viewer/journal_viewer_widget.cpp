#include "viewer/journal_viewer_widget.h"

#include "graph/layout.h"
#include "graph/measures_widget.h"
#include "text/numbers.h"
#include "viewer/columns.h"
#include "viewer/follower.h"
#include "viewer/journal_plot_widget.h"
#include "viewer/overview_widget.h"
#include "viewer/time_axis.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace viewer {

namespace {

QIcon swatch(int k)
{
    QPixmap p(12, 12);
    p.fill(graph::traceColor(k));
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(p);
}

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 19)) >> 20); }

}  // namespace

JournalViewer::JournalViewer(QWidget *owner, const QString &path, Options options)
    : QMainWindow(owner, Qt::Window), path_(path), options_(std::move(options))
{
    setObjectName(QStringLiteral("journalViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Journal — %1").arg(QFileInfo(path).fileName()));
    resize(1100, 640);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    auto *controls = new QHBoxLayout;
    for (int k = 0; k < kChannels; ++k) {
        auto *box = new QCheckBox(QStringLiteral("Voie %1").arg(k + 1), central);
        box->setObjectName(QStringLiteral("voie%1").arg(k + 1));
        box->setIcon(swatch(k));
        box->setChecked(k == 0);
        connect(box, &QCheckBox::toggled, this, &JournalViewer::shownChanged);
        controls->addWidget(box);
        voies_[size_t(k)] = box;
    }
    controls->addStretch();
    layout->addLayout(controls);
    controls = new QHBoxLayout;
    controls->addStretch();
    suivre_ = new QCheckBox(QStringLiteral("Suivre"), central);
    suivre_->setObjectName(QStringLiteral("suivre"));
    suivre_->setEnabled(false);
    controls->addWidget(suivre_);
    auto button = [&](const QString &text, const char *name, void (JournalViewer::*slot)()) {
        auto *b = new QPushButton(text, central);
        b->setObjectName(QString::fromLatin1(name));
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, slot);
        controls->addWidget(b);
        return b;
    };
    allerA_ = button(QStringLiteral("Aller à…"), "allerA", &JournalViewer::allerA_Click);
    exporterCsv_ =
        button(QStringLiteral("Exporter la plage en CSV…"), "exporterCsv", &JournalViewer::exporterCsv_Click);
    exporterImage_ = button(QStringLiteral("Exporter l'image…"), "exporterImage", &JournalViewer::exporterImage_Click);
    layout->addLayout(controls);

    overview_ = new OverviewStrip(central);
    plot_ = new JournalPlot(central);
    layout->addWidget(overview_);
    layout->addWidget(plot_, 1);
    setCentralWidget(central);
    connect(overview_, &OverviewStrip::spanRequested, this, [this](const Span &s) {
        plot_->setSpan(s);
        if (suivre_->isChecked() && s.t1 < plot_->whole().t1) suivre_->setChecked(false);
    });
    connect(plot_, &JournalPlot::spanChanged, overview_, &OverviewStrip::setSpan);
    connect(plot_, &JournalPlot::userMoved, this, [this] {
        // Moving away from the newest line stops following it.
        if (suivre_->isChecked() && plot_->state().span.t1 < plot_->whole().t1) suivre_->setChecked(false);
    });
    connect(plot_, &JournalPlot::markersChanged, this, &JournalViewer::markersChanged);
    connect(plot_, &JournalPlot::hovered, this, &JournalViewer::hovered);
    connect(suivre_, &QCheckBox::toggled, this, &JournalViewer::suivre_Toggled);

    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("position"));
    position_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // the counts keep their room
    statusBar()->addWidget(position_, 1);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lignes"));
    statusBar()->addPermanentWidget(counts_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("lecture"));
    progress_->setRange(0, 1000);
    progress_->setMaximumWidth(220);
    progress_->setFormat(QStringLiteral("Lecture…"));
    statusBar()->addPermanentWidget(progress_);
    annuler_ = new QPushButton(QStringLiteral("Annuler"), this);
    annuler_->setObjectName(QStringLiteral("annuler"));
    connect(annuler_, &QPushButton::clicked, this, &JournalViewer::annuler_Click);
    statusBar()->addPermanentWidget(annuler_);

    measures_ = new MeasuresWindow(this);
    plot_->setNote(QStringLiteral("Lecture du journal « %1 »…").arg(QFileInfo(path).fileName()));

    reader_ = QThread::create([this] { loaded_ = loadJournal(path_, &control_); });
    connect(reader_, &QThread::finished, this, &JournalViewer::loadDone, Qt::QueuedConnection);
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, &JournalViewer::pollLoad);
    poll_->start();
    reader_->start();
}

JournalViewer::~JournalViewer()
{
    if (reader_) {
        control_.cancel = true;
        reader_->wait();
        delete reader_;
    }
}

void JournalViewer::pollLoad()
{
    const qint64 total = control_.total.load(), done = control_.done.load();
    progress_->setValue(total > 0 ? int(std::min(done, total) * 1000 / total) : 0);
    progress_->setFormat(QStringLiteral("%1 Mo sur %2 Mo").arg(megabytes(done), megabytes(total)));
}

void JournalViewer::annuler_Click()
{
    control_.cancel = true;
    annuler_->setEnabled(false);
}

void JournalViewer::loadDone()
{
    poll_->stop();
    reader_->wait();
    delete reader_;
    reader_ = nullptr;
    progress_->hide();
    annuler_->hide();
    if (loaded_.cancelled) {
        emit ready();
        close();
        return;
    }
    if (!loaded_.model) {
        plot_->setNote(loaded_.error);
        position_->setText(loaded_.error);
        emit ready();
        return;
    }
    model_ = std::move(loaded_.model);
    const JournalData &d = model_->data();
    for (int k = 0; k < kChannels; ++k) {
        const QString unit = d.units.empty() ? QString() : d.units.back().units[size_t(k)].trimmed();
        voies_[size_t(k)]->setText(unit.isEmpty() ? QStringLiteral("Voie %1").arg(k + 1)
                                                  : QStringLiteral("Voie %1 (%2)").arg(k + 1).arg(unit));
    }
    plot_->setNote(d.empty() ? QStringLiteral("Le journal ne contient aucune acquisition.") : QString());
    overview_->setModel(model_.get());
    plot_->setModel(model_.get());
    shownChanged();
    plot_->showWhole();
    plot_->setFocus(Qt::OtherFocusReason);  // the keys move the plot from the start
    for (QPushButton *b : {allerA_, exporterCsv_, exporterImage_}) b->setEnabled(true);
    follower_ = new JournalFollower(path_, model_->offset(), this);
    connect(follower_, &JournalFollower::appended, this, &JournalViewer::appended);
    connect(follower_, &JournalFollower::lost, this, [this](const QString &why) {
        followError_ = why;
        suivre_->setChecked(false);
        suivre_->setEnabled(false);
        showCounts();
    });
    suivre_->setEnabled(true);
    suivre_->setChecked(options_.follow);
    showCounts();
    emit ready();
}

std::array<bool, kChannels> JournalViewer::shown() const
{
    std::array<bool, kChannels> s{};
    for (int k = 0; k < kChannels; ++k) s[size_t(k)] = voies_[size_t(k)]->isChecked();
    return s;
}

void JournalViewer::shownChanged()
{
    plot_->setShown(shown());
    overview_->setShown(shown());
    if (model_ && plot_->state().markers.any()) markersChanged(plot_->state().markers);
}

void JournalViewer::suivre_Toggled(bool on)
{
    if (!follower_) return;
    follower_->setActive(on);
    if (on) {
        const Span s = plot_->state().span;
        plot_->setSpan(Span{plot_->whole().t1 - s.length(), plot_->whole().t1});
    }
}

void JournalViewer::appended(const QByteArray &bytes)
{
    const Span before = plot_->whole();
    const Span span = plot_->state().span;
    model_->feed(bytes);
    overview_->journalGrew();
    const Span after = plot_->whole();
    if (suivre_->isChecked()) {
        // The right end stays on the newest line; a span that showed the
        // whole journal keeps showing all of it.
        const bool all = span == before;
        plot_->setSpan(all ? after : Span{after.t1 - span.length(), after.t1});
    }
    plot_->update();
    overview_->setSpan(plot_->state().span);
    showCounts();
}

void JournalViewer::showCounts()
{
    if (!model_) return;
    const JournalData &d = model_->data();
    QString t = QStringLiteral("%1 lignes analogiques, %2 lignes logiques").arg(d.analogCount()).arg(d.logicCount());
    if (d.damaged > 0)
        t += QStringLiteral(" ; %1 %2")
                 .arg(d.damaged)
                 .arg(d.damaged > 1 ? u"lignes endommagées ignorées" : u"ligne endommagée ignorée");
    if (d.backwards > 0)
        t += QStringLiteral(" ; %1 %2")
                 .arg(d.backwards)
                 .arg(d.backwards > 1 ? u"lignes antérieures à la précédente ignorées"
                                      : u"ligne antérieure à la précédente ignorée");
    if (!followError_.isEmpty()) t += QStringLiteral(" ; ") + followError_;
    counts_->setText(t);
}

void JournalViewer::markersChanged(const SpanMarkers &m)
{
    if (!model_) return;
    measures_->setTable(spanMeasures(*model_, m, shown()));
    if (m.any())
        measures_->appear();
    else
        measures_->hide();
}

void JournalViewer::hovered(qint64 t, bool inside)
{
    if (!model_ || !inside) {
        position_->clear();
        return;
    }
    const JournalData &d = model_->data();
    QStringList parts{shownMs(t)};
    const auto i = sampleAtOrBefore(d.analogTime, t);
    // Only a line that is not separated from the mouse by a gap is named.
    const bool near = i && (*i + 1 >= d.analogCount() ? t - d.analogTime[size_t(*i)] <= model_->analogGap()
                                                      : !gapBefore(d.analogTime, *i + 1, model_->analogGap()));
    const std::array<bool, kChannels> s = shown();
    for (int k = 0; k < kChannels; ++k) {
        if (!s[size_t(k)]) continue;
        const float v = i && near ? d.analog[size_t(k)][size_t(*i)] : NAN;
        const QString unit = i ? d.unitsAt(*i)[size_t(k)].trimmed() : QString();
        parts << QStringLiteral("Voie %1 : %2%3")
                     .arg(k + 1)
                     .arg(std::isnan(v) ? QStringLiteral("—") : text::twoDecimals(double(v)))
                     .arg(unit.isEmpty() || std::isnan(v) ? QString() : u' ' + unit);
    }
    const auto l = sampleAtOrBefore(d.logicTime, t);
    if (l && (*l + 1 >= d.logicCount() ? t - d.logicTime[size_t(*l)] <= model_->logicGap()
                                       : !gapBefore(d.logicTime, *l + 1, model_->logicGap()))) {
        QString bits;
        for (int k = 0; k < kChannels; ++k) bits += d.logic[size_t(*l)] & (1u << k) ? u'1' : u'0';
        parts << QStringLiteral("Entrées 1 à 8 : %1").arg(bits);
    }
    position_->setText(parts.join(QStringLiteral("   ")));
}

}  // namespace viewer
