#include "acquisition/analog_frame_widget.h"

#include "acquisition/decode.h"
#include "acquisition/host.h"
#include "acquisition/schedule.h"
#include "acquisition/table_ops.h"
#include "text/clock.h"
#include "text/numbers.h"
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
constexpr int kValueLeft[8] = {180, 1440, 2640, 3900, 5160, 6420, 7620, 8880};
constexpr int kCaptionLeft[8] = {360, 1620, 2820, 4080, 5340, 6600, 7800, 9060};
constexpr int kBoxLeft[8] = {720, 1980, 3180, 4440, 5700, 6960, 8160, 9420};
constexpr int kSeparatorX[8] = {1260, 2520, 3720, 4980, 6240, 7500, 8700, 9960};
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
}  // namespace

AnalogFrame::AnalogFrame(AcquisitionHost &host, QWidget *parent)
    : QGroupBox(QStringLiteral("Entrées analogiques"), parent), host_(host)
{
    setObjectName(QStringLiteral("Frame2"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    for (int i = 0; i < 8; ++i) {
        const QString k = QString::number(i + 1);
        caption(this, QStringLiteral("Voie ") + k, kCaptionLeft[i], 240, 450, 195, kRed);
        ana_[size_t(i)] =
            valueLabel(this, QStringLiteral("ana") + k, QStringLiteral("0.00"), kValueLeft[i], 540, 975, 315, kGreen);
        caption(this, QStringLiteral("Unité :"), kValueLeft[i], 1200, 555, 255);
        unit_[size_t(i)] = textBox(this, QStringLiteral("u_ana") + k, QStringLiteral("V"), kBoxLeft[i], 1140, 435, 285);
        caption(this, QStringLiteral("Coeff :"), kValueLeft[i], 1560, 555, 255);
        coeff_[size_t(i)] =
            textBox(this, QStringLiteral("coeff_a") + k, QStringLiteral("1"), kBoxLeft[i], 1500, 435, 285);
        verticalLine(this, kSeparatorX[i], 360, 1800, kRed);
    }
    Command12_ =
        button(this, QStringLiteral("Command12"), QStringLiteral("Acquisition Manuelle"), 10260, 300, 1515, 435);
    Command16_ =
        button(this, QStringLiteral("Command16"), QStringLiteral("Acquisition Programmée"), 10260, 780, 1515, 435);
    memo_a_ = checkBox(this, QStringLiteral("memo_a"), QStringLiteral("Mémorisation"), 10260, 1500, 1455, 315);

    // The programming panel covers the channel columns when shown.
    Frame5_ = new QGroupBox(QStringLiteral("Entrées analogiques : Acquisition programmée"), this);
    Frame5_->setObjectName(QStringLiteral("Frame5"));
    placement::place(Frame5_, 0, 0, 10035, 1935);
    Frame5_->setAutoFillBackground(true);
    const QColor highlight = palette().color(QPalette::Highlight);
    caption(Frame5_, QStringLiteral("Acquisition cyclique"), 480, 300, 1635, 375, highlight);
    Combo4_ = comboBox(Frame5_, QStringLiteral("Combo4"), acquisition::intervalEntries(), 180, 600, 2175, 315);
    Combo4_->setCurrentIndex(0);
    Check6_ = checkBox(Frame5_, QStringLiteral("Check6"), QStringLiteral("Auto"), 180, 1320, 735, 375);
    Label67_ = caption(Frame5_, QString(), 1080, 1440, 1155, 255);
    Label67_->setObjectName(QStringLiteral("Label67"));
    verticalLine(Frame5_, 2520, 360, 1740, Qt::black);
    caption(Frame5_, QStringLiteral("Acquisition programmable"), 2760, 360, 2115, 375, highlight);
    Check5_ = checkBox(Frame5_, QStringLiteral("Check5"), QStringLiteral("Auto"), 3540, 660, 1095, 375);
    auto *Command17 = button(Frame5_, QStringLiteral("Command17"), QStringLiteral("Heure  PC"), 3480, 1320, 1155, 375);
    caption(Frame5_, QStringLiteral("Jour :"), 5880, 240, 795, 255);
    Combo3_ = comboBox(Frame5_, QStringLiteral("Combo3"), acquisition::analogDayEntries(), 5460, 540, 1635, 315);
    Combo3_->setCurrentIndex(1);
    caption(Frame5_, QStringLiteral("Heure :"), 5820, 1080, 795, 255);
    Text3_ = textBox(Frame5_, QStringLiteral("Text3"), QString(), 5400, 1320, 1575, 375);
    verticalLine(Frame5_, 7320, 360, 1800, Qt::black);
    auto *Command20 = button(Frame5_, QStringLiteral("Command20"), QStringLiteral("Annulation"), 8220, 960, 1635, 375);
    auto *Command21 = button(Frame5_, QStringLiteral("Command21"), QStringLiteral("Validation"), 8220, 1440, 1635, 375);
    Frame5_->hide();

    Timer6_ = designTimer(this, QStringLiteral("Timer6"), 500);
    cyclicWait_ = designTimer(this, QStringLiteral("cyclicWait"), 0);
    cyclicWait_->setSingleShot(true);

    PanelControls c;
    c.analogList = true;
    c.programButton = Command16_;
    c.panel = Frame5_;
    c.intervals = Combo4_;
    c.cyclic = Check6_;
    c.programmed = Check5_;
    c.days = Combo3_;
    c.hour = Text3_;
    c.programmedTimer = Timer6_;
    c.cyclicTimer = cyclicWait_;
    scheduler_ = std::make_unique<PanelScheduler>(host_, c, [this] { return startAcquisition(); });

    connect(Command12_, &QPushButton::clicked, this, &AnalogFrame::Command12_Click);
    connect(Command16_, &QPushButton::clicked, this, &AnalogFrame::Command16_Click);
    connect(Command17, &QPushButton::clicked, this, &AnalogFrame::Command17_Click);
    connect(Command20, &QPushButton::clicked, this, &AnalogFrame::Command20_Click);
    connect(Command21, &QPushButton::clicked, this, &AnalogFrame::Command21_Click);
    // toggled also reports the changes the program makes, as the board's panel did.
    connect(Check5_, &QCheckBox::toggled, this, &AnalogFrame::Check5_Click);
    connect(Check6_, &QCheckBox::toggled, this, &AnalogFrame::Check6_Click);
    connect(memo_a_, &QCheckBox::toggled, this, &AnalogFrame::memo_a_Click);
    connect(Timer6_, &QTimer::timeout, this, &AnalogFrame::Timer6_Timer);
    connect(cyclicWait_, &QTimer::timeout, this, &AnalogFrame::cyclicWait_Timer);
}

AnalogFrame::~AnalogFrame() = default;

QString AnalogFrame::coefficientText(int k) const { return coeff_[size_t(k - 1)]->text(); }

QString AnalogFrame::unitText(int k) const { return unit_[size_t(k - 1)]->text(); }

void AnalogFrame::Command12_Click() { startAcquisition(); }

bool AnalogFrame::startAcquisition()
{
    if (!host_.switchedOn()) return true;
    return host_.beginRequest(Channel::Analog);
}

void AnalogFrame::heldStartReleased() { scheduler_->heldStartReleased(); }

void AnalogFrame::stopAcquisitions() { scheduler_->stop(); }

void AnalogFrame::Command16_Click() { scheduler_->showPanel(); }

void AnalogFrame::Command17_Click() { scheduler_->copyTime(); }

void AnalogFrame::Command20_Click() { scheduler_->cancel(); }

void AnalogFrame::Command21_Click() { scheduler_->validate(); }

void AnalogFrame::Check5_Click()
{
    if (Check5_->isChecked()) Check6_->setChecked(false);
}

void AnalogFrame::Check6_Click()
{
    Label67_->setText(QString::number(Combo4_->currentIndex()));
    if (Check6_->isChecked()) Check5_->setChecked(false);
}

void AnalogFrame::memo_a_Click() { host_.tables().indice_a = 0; }

void AnalogFrame::decode(const QString &buffer, const QDateTime &requested)
{
    std::array<QString, 8> coefficients, units;
    for (size_t k = 0; k < 8; ++k) {
        coefficients[k] = coeff_[k]->text();
        units[k] = unit_[k]->text();
    }
    const acquisition::AnalogReading reading = acquisition::decodeAnalog(buffer, coefficients, units);
    for (size_t k = 0; k < 8; ++k)
        if (reading[k]) ana_[k]->setText(reading[k]->label);
    Tables &t = host_.tables();
    const bool memorising = memo_a_->isChecked();
    const int slot = memorising ? t.indice_a : -1;
    // The index wraps whether or not the box is ticked; only a recording
    // that was on has something to stop.
    const bool full = acquisition::storeAnalog(t, memorising, reading, requested) && memorising;
    if (full) memo_a_->setChecked(false);
    acquisition::Acquired decoded =
        acquisition::analogAcquired(reading, units, requested, slot, text::decimalSeparator());
    decoded.answered = acquisition::isAnalogReply(buffer);
    emit acquisitionDecoded(decoded);
    if (full && cycleRunning())
        host_.showStatus(acquisition::memorisationFullText(true, t.nbre_acqui + 1, host_.journalRunning()));
    host_.sayWhetherAnswered(acquisition::hasAnalogMarker(buffer),
                             QStringLiteral("Pas de réponse de la carte (entrées analogiques)"));
}

void AnalogFrame::Timer6_Timer() { scheduler_->programmedCheck(); }

void AnalogFrame::cyclicWait_Timer() { scheduler_->cyclicWaitTick(); }
