#include "acquisition/logic_frame_widget.h"

#include "acquisition/decode.h"
#include "acquisition/host.h"
#include "acquisition/schedule.h"
#include "acquisition/table_ops.h"
#include "text/clock.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace acquisition::ui;

namespace {
constexpr int kCaptionLeft[8] = {360, 1620, 2880, 4140, 5400, 6660, 7920, 9180};
constexpr int kIndicatorLeft[8] = {240, 1440, 2760, 3960, 5220, 6420, 7740, 8940};
constexpr int kSeparatorX[8] = {1200, 2460, 3720, 4980, 6240, 7500, 8760, 10020};
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);
}  // namespace

LogicFrame::LogicFrame(AcquisitionHost &host, QWidget *parent)
    : QGroupBox(QStringLiteral("Entrées logiques"), parent), host_(host)
{
    setObjectName(QStringLiteral("Frame3"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    for (int i = 0; i < 8; ++i) {
        caption(this, QStringLiteral("Voie %1").arg(i + 1), kCaptionLeft[i], 420, 450, 195, kBlue);
        log1_[size_t(i)] = valueLabel(this, QStringLiteral("log1_%1").arg(i), QStringLiteral("0"), kIndicatorLeft[i],
                                      1020, 735, 315, kMagenta);
        verticalLine(this, kSeparatorX[i], 360, 1560, Qt::black);
    }
    Command13_ =
        button(this, QStringLiteral("Command13"), QStringLiteral("Acquisition Manuelle"), 10260, 300, 1515, 435);
    Command14_ =
        button(this, QStringLiteral("Command14"), QStringLiteral("Acquisition Programmée"), 10260, 780, 1515, 435);
    setBackColour(Command14_, kIdleGrey);
    memo_l_ = checkBox(this, QStringLiteral("memo_l"), QStringLiteral("Mémorisation"), 10260, 1500, 1455, 315);

    Frame4_ = new QGroupBox(QStringLiteral("Entrées logiques : Acquisition programmée"), this);
    Frame4_->setObjectName(QStringLiteral("Frame4"));
    placement::place(Frame4_, 0, 0, 10035, 1875);
    Frame4_->setAutoFillBackground(true);
    const QColor highlight = palette().color(QPalette::Highlight);
    caption(Frame4_, QStringLiteral("Acquisition cyclique"), 480, 300, 1635, 375, highlight);
    Combo1_ = comboBox(Frame4_, QStringLiteral("Combo1"), acquisition::intervalEntries(), 180, 600, 2175, 315);
    Combo1_->setCurrentIndex(0);
    Check1_ = checkBox(Frame4_, QStringLiteral("Check1"), QStringLiteral("Auto"), 180, 1440, 2115, 375);
    verticalLine(Frame4_, 2520, 360, 1740, Qt::black);
    caption(Frame4_, QStringLiteral("Acquisition programmable"), 2820, 300, 2115, 375, highlight);
    Check2_ = checkBox(Frame4_, QStringLiteral("Check2"), QStringLiteral("Auto"), 3480, 720, 795, 375);
    auto *Command15 = button(Frame4_, QStringLiteral("Command15"), QStringLiteral("Heure  PC"), 3360, 1320, 1155, 375);
    caption(Frame4_, QStringLiteral("Jour :"), 5880, 240, 795, 255);
    Combo2_ = comboBox(Frame4_, QStringLiteral("Combo2"), acquisition::logicDayEntries(), 5460, 540, 1635, 315);
    Combo2_->setCurrentIndex(1);
    caption(Frame4_, QStringLiteral("Heure :"), 5820, 1080, 795, 255);
    Text2_ = textBox(Frame4_, QStringLiteral("Text2"), QString(), 5460, 1380, 1575, 375);
    verticalLine(Frame4_, 7260, 360, 1800, Qt::black);
    auto *Command19 = button(Frame4_, QStringLiteral("Command19"), QStringLiteral("Annulation"), 8220, 960, 1635, 375);
    auto *Command18 = button(Frame4_, QStringLiteral("Command18"), QStringLiteral("Validation"), 8220, 1440, 1635, 375);
    Frame4_->hide();

    Timer9_ = designTimer(this, QStringLiteral("Timer9"), 500);
    cyclicWait_ = designTimer(this, QStringLiteral("cyclicWait"), 0);
    cyclicWait_->setSingleShot(true);

    PanelControls c;
    c.analogList = false;
    c.programButton = Command14_;
    c.panel = Frame4_;
    c.intervals = Combo1_;
    c.cyclic = Check1_;
    c.programmed = Check2_;
    c.days = Combo2_;
    c.hour = Text2_;
    c.programmedTimer = Timer9_;
    c.cyclicTimer = cyclicWait_;
    scheduler_ = std::make_unique<PanelScheduler>(host_, c, [this] { return startAcquisition(); });

    connect(Command13_, &QPushButton::clicked, this, &LogicFrame::Command13_Click);
    connect(Command14_, &QPushButton::clicked, this, &LogicFrame::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &LogicFrame::Command15_Click);
    connect(Command18, &QPushButton::clicked, this, &LogicFrame::Command18_Click);
    connect(Command19, &QPushButton::clicked, this, &LogicFrame::Command19_Click);
    connect(Check1_, &QCheckBox::toggled, this, &LogicFrame::Check1_Click);
    connect(Check2_, &QCheckBox::toggled, this, &LogicFrame::Check2_Click);
    connect(memo_l_, &QCheckBox::toggled, this, &LogicFrame::memo_l_Click);
    connect(Timer9_, &QTimer::timeout, this, &LogicFrame::Timer9_Timer);
    connect(cyclicWait_, &QTimer::timeout, this, &LogicFrame::cyclicWait_Timer);
}

LogicFrame::~LogicFrame() = default;

void LogicFrame::Command13_Click() { startAcquisition(); }

bool LogicFrame::startAcquisition()
{
    if (!host_.switchedOn()) return true;
    return host_.beginRequest(Channel::Logic);
}

void LogicFrame::heldStartReleased() { scheduler_->heldStartReleased(); }

void LogicFrame::stopAcquisitions() { scheduler_->stop(); }

void LogicFrame::Command14_Click() { scheduler_->showPanel(); }

void LogicFrame::Command15_Click() { scheduler_->copyTime(); }

void LogicFrame::Command18_Click() { scheduler_->validate(); }

void LogicFrame::Command19_Click() { scheduler_->cancel(); }

void LogicFrame::Check1_Click()
{
    if (Check1_->isChecked()) Check2_->setChecked(false);
}

void LogicFrame::Check2_Click()
{
    if (Check2_->isChecked()) Check1_->setChecked(false);
}

void LogicFrame::memo_l_Click() { host_.tables().indice_l = 0; }

void LogicFrame::decode(const QString &buffer, const QDateTime &requested)
{
    const acquisition::LogicBits bits = acquisition::decodeLogic(buffer);
    for (size_t i = 0; i < 8; ++i) {
        log1_[i]->setText(QString(bits[i]));
        log1_[i]->repaint();  // each indicator is redrawn as it changes
    }
    Tables &t = host_.tables();
    const bool memorising = memo_l_->isChecked();
    const int slot = memorising ? t.indice_l / 8 : -1;
    // The index wraps whether or not the box is ticked; only a recording
    // that was on has something to stop.
    const bool full = acquisition::storeLogic(t, memorising, bits, requested) && memorising;
    if (full) memo_l_->setChecked(false);
    acquisition::Acquired decoded = acquisition::logicAcquired(bits, requested, slot);
    decoded.answered = acquisition::isLogicReply(buffer);
    emit acquisitionDecoded(decoded);
    if (full && cycleRunning())
        host_.showStatus(acquisition::memorisationFullText(false, t.nbre_acqui + 1, host_.journalRunning()));
    host_.sayWhetherAnswered(acquisition::hasLogicMarker(buffer),
                             QStringLiteral("Pas de réponse de la carte (entrées logiques)"));
}

void LogicFrame::Timer9_Timer() { scheduler_->programmedCheck(); }

void LogicFrame::cyclicWait_Timer() { scheduler_->cyclicWaitTick(); }
