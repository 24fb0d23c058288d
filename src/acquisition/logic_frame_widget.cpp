#include "acquisition/logic_frame_widget.h"

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
constexpr int kCaptionLeft[8] = {360, 1620, 2880, 4140, 5400, 6660, 7920, 9180};
constexpr int kIndicatorLeft[8] = {240, 1440, 2760, 3960, 5220, 6420, 7740, 8940};
constexpr int kSeparatorX[8] = {1200, 2460, 3720, 4980, 6240, 7500, 8760, 10020};
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);
}  // namespace

LogicFrame::LogicFrame(FrameEngine &engine, QWidget *parent)
    : QGroupBox(QStringLiteral("Entrées logiques"), parent), engine_(engine)
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
    auto *Command13 =
        button(this, QStringLiteral("Command13"), QStringLiteral("Acquisition Manuelle"), 10260, 300, 1515, 435);
    Command14_ =
        button(this, QStringLiteral("Command14"), QStringLiteral("Acquisition Programmée"), 10260, 780, 1515, 435);
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

    connect(Command13, &QPushButton::clicked, this, &LogicFrame::Command13_Click);
    connect(Command14_, &QPushButton::clicked, this, &LogicFrame::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &LogicFrame::Command15_Click);
    connect(Command18, &QPushButton::clicked, this, &LogicFrame::Command18_Click);
    connect(Command19, &QPushButton::clicked, this, &LogicFrame::Command19_Click);
    connect(Check1_, &QCheckBox::toggled, this, &LogicFrame::Check1_Click);
    connect(Check2_, &QCheckBox::toggled, this, &LogicFrame::Check2_Click);
    connect(memo_l_, &QCheckBox::toggled, this, &LogicFrame::memo_l_Click);
    connect(Combo1_, &QComboBox::currentIndexChanged, &engine_, &FrameEngine::setIntervalIndex);
    connect(Combo2_, &QComboBox::currentIndexChanged, &engine_, &FrameEngine::setDayIndex);
    connect(Text2_, &QLineEdit::textChanged, &engine_, &FrameEngine::setHourText);

    connect(&engine_, &FrameEngine::modeChanged, this, &LogicFrame::showMode);
    connect(&engine_, &FrameEngine::panelClosed, Frame4_, &QWidget::hide);
    connect(&engine_, &FrameEngine::memorisingChanged, this, &LogicFrame::showMemorising);
    connect(&engine_, &FrameEngine::valuesDecoded, this, &LogicFrame::showValues);
    showMode();
    showMemorising();
    const std::array<QString, 8> shown = engine_.shown();
    for (size_t i = 0; i < 8; ++i) log1_[i]->setText(shown[i]);
}

void LogicFrame::Command13_Click() { engine_.acquireNow(); }

void LogicFrame::Command14_Click() { showPanel(Frame4_); }

void LogicFrame::Command15_Click() { engine_.copyTime(); }

void LogicFrame::Command18_Click() { engine_.validate(); }

void LogicFrame::Command19_Click() { engine_.cancel(); }

void LogicFrame::Check1_Click() { engine_.setCyclicAuto(Check1_->isChecked()); }

void LogicFrame::Check2_Click() { engine_.setProgrammedAuto(Check2_->isChecked()); }

void LogicFrame::memo_l_Click() { engine_.setMemorising(memo_l_->isChecked()); }

void LogicFrame::showMode() { showPanelMode(engine_, {Command14_, Combo1_, Check1_, Check2_, Combo2_, Text2_}); }

void LogicFrame::showValues()
{
    const std::array<QString, 8> shown = engine_.shown();
    for (size_t i = 0; i < 8; ++i) {
        log1_[i]->setText(shown[i]);
        log1_[i]->repaint();  // each indicator is redrawn as it changes
    }
}

void LogicFrame::showMemorising() { setQuietly(memo_l_, engine_.memorising()); }
