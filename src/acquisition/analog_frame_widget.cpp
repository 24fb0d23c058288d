#include "acquisition/analog_frame_widget.h"

#include "engine/frame_engine.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ui;

namespace {
constexpr int kValueLeft[8] = {180, 1440, 2640, 3900, 5160, 6420, 7620, 8880};
constexpr int kCaptionLeft[8] = {360, 1620, 2820, 4080, 5340, 6600, 7800, 9060};
constexpr int kBoxLeft[8] = {720, 1980, 3180, 4440, 5700, 6960, 8160, 9420};
constexpr int kSeparatorX[8] = {1260, 2520, 3720, 4980, 6240, 7500, 8700, 9960};
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
}  // namespace

AnalogFrame::AnalogFrame(FrameEngine &engine, QWidget *parent)
    : QGroupBox(QStringLiteral("Entrées analogiques"), parent), engine_(engine)
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
    auto *Command12 =
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

    connect(Command12, &QPushButton::clicked, this, &AnalogFrame::Command12_Click);
    connect(Command16_, &QPushButton::clicked, this, &AnalogFrame::Command16_Click);
    connect(Command17, &QPushButton::clicked, this, &AnalogFrame::Command17_Click);
    connect(Command20, &QPushButton::clicked, this, &AnalogFrame::Command20_Click);
    connect(Command21, &QPushButton::clicked, this, &AnalogFrame::Command21_Click);
    // toggled also reports the changes the program makes, as the board's panel did.
    connect(Check5_, &QCheckBox::toggled, this, &AnalogFrame::Check5_Click);
    connect(Check6_, &QCheckBox::toggled, this, &AnalogFrame::Check6_Click);
    connect(memo_a_, &QCheckBox::toggled, this, &AnalogFrame::memo_a_Click);
    connect(Combo4_, &QComboBox::currentIndexChanged, &engine_, &FrameEngine::setIntervalIndex);
    connect(Combo3_, &QComboBox::currentIndexChanged, &engine_, &FrameEngine::setDayIndex);
    connect(Text3_, &QLineEdit::textChanged, &engine_, &FrameEngine::setHourText);
    for (int k = 1; k <= 8; ++k) {
        connect(coeff_[size_t(k - 1)], &QLineEdit::textChanged, this,
                [this, k](const QString &text) { engine_.setCoefficient(k, text); });
        connect(unit_[size_t(k - 1)], &QLineEdit::textChanged, this,
                [this, k](const QString &text) { engine_.setUnit(k, text); });
    }

    connect(&engine_, &FrameEngine::modeChanged, this, &AnalogFrame::showMode);
    connect(&engine_, &FrameEngine::panelClosed, Frame5_, &QWidget::hide);
    connect(&engine_, &FrameEngine::memorisingChanged, this, &AnalogFrame::showMemorising);
    connect(&engine_, &FrameEngine::coefficientChanged, this, &AnalogFrame::showCoefficient);
    connect(&engine_, &FrameEngine::unitChanged, this, &AnalogFrame::showUnit);
    connect(&engine_, &FrameEngine::valuesDecoded, this, &AnalogFrame::showValues);
    showMode();
    showValues();
    showMemorising();
    for (int k = 1; k <= 8; ++k) {
        showCoefficient(k);
        showUnit(k);
    }
}

void AnalogFrame::Command12_Click() { engine_.acquireNow(); }

void AnalogFrame::Command16_Click() { showPanel(Frame5_); }

void AnalogFrame::Command17_Click() { engine_.copyTime(); }

void AnalogFrame::Command20_Click() { engine_.cancel(); }

void AnalogFrame::Command21_Click() { engine_.validate(); }

void AnalogFrame::Check5_Click() { engine_.setProgrammedAuto(Check5_->isChecked()); }

void AnalogFrame::Check6_Click() { engine_.setCyclicAuto(Check6_->isChecked()); }

void AnalogFrame::memo_a_Click() { engine_.setMemorising(memo_a_->isChecked()); }

void AnalogFrame::showMode()
{
    showPanelMode(engine_, {Command16_, Combo4_, Check6_, Check5_, Combo3_, Text3_});
    Label67_->setText(engine_.diagnostic());
}

void AnalogFrame::showValues()
{
    const std::array<QString, 8> shown = engine_.shown();
    for (size_t k = 0; k < 8; ++k) ana_[k]->setText(shown[k]);
}

void AnalogFrame::showMemorising() { setQuietly(memo_a_, engine_.memorising()); }

void AnalogFrame::showCoefficient(int k) { setQuietly(coeff_[size_t(k - 1)], engine_.coefficient(k)); }

void AnalogFrame::showUnit(int k) { setQuietly(unit_[size_t(k - 1)], engine_.unit(k)); }
