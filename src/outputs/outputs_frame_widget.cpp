#include "outputs/outputs_frame_widget.h"

#include "outputs/lamps_widget.h"
#include "text/clock.h"
#include "ui/controls.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>

using ui::label;

namespace {

QString indexed(const char *base, int i) { return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i); }

}  // namespace

OutputsFrame::OutputsFrame(Bench &bench, QWidget *parent)
    : QGroupBox(QStringLiteral("Sorties à relais"), parent), bench_(bench)
{
    setObjectName(QStringLiteral("Frame1"));
    QWidget *frame = this;

    static constexpr int labelStart[8] = {120, 1380, 2760, 4080, 5460, 6720, 8100, 9420};
    static constexpr int box[8] = {120, 1440, 2760, 4080, 5460, 6780, 8100, 9420};
    static constexpr int autoBox[8] = {540, 1860, 3180, 4500, 5880, 7200, 8520, 9840};
    static constexpr int lamp[8] = {180, 1500, 2820, 4140, 5460, 6840, 8160, 9480};
    static constexpr int button[8] = {120, 1440, 2760, 4080, 5400, 6780, 8100, 9420};
    static constexpr int separator[8] = {1320, 2700, 3960, 5340, 6660, 8040, 9300, 10680};
    const QString yellow = QStringLiteral("background-color: rgb(255,255,192);");

    for (int i = 0; i < 8; ++i) {
        label(frame, QStringLiteral("Heure de début"), QRectF(labelStart[i], 480, 1110, 195));
        label(frame, QStringLiteral("Heure de fin"), QRectF(box[i], 1200, 870, 195));
        heure1[size_t(i)] = new TimeBox(frame);
        heure1[size_t(i)]->setObjectName(indexed("heure1", i));
        placement::place(heure1[size_t(i)], box[i], 720, 1095, 285);
        heure2[size_t(i)] = new TimeBox(frame);
        heure2[size_t(i)]->setObjectName(indexed("heure2", i));
        placement::place(heure2[size_t(i)], box[i], 1440, 1095, 285);
        for (TimeBox *b : {heure1[size_t(i)], heure2[size_t(i)]}) b->setStyleSheet(yellow);
        heure1[size_t(i)]->setAccessibleName(QStringLiteral("Heure de début, sortie %1").arg(i + 1));
        heure2[size_t(i)]->setAccessibleName(QStringLiteral("Heure de fin, sortie %1").arg(i + 1));
        connect(heure1[size_t(i)], &TimeBox::mouseDown, this, [this, i](int b) { heure1_MouseDown(i, b); });
        connect(heure2[size_t(i)], &TimeBox::mouseDown, this, [this, i](int b) { heure2_MouseDown(i, b); });

        auto1[size_t(i)] = new QCheckBox(QStringLiteral("Auto"), frame);
        auto1[size_t(i)]->setObjectName(indexed("auto1", i));
        placement::place(auto1[size_t(i)], autoBox[i], 1800, 675, 255);

        lampe1[size_t(i)] = new Lamp(frame);
        lampe1[size_t(i)]->setObjectName(indexed("lampe1", i));
        placement::place(lampe1[size_t(i)], lamp[i], 1860, 255, 135);
        lampe1[size_t(i)]->setColor(outputs::lampOff());

        Command1[size_t(i)] = new PressButton(QStringLiteral("Forçage Sortie %1").arg(i + 1), frame);
        Command1[size_t(i)]->setObjectName(indexed("Command1", i));
        placement::place(Command1[size_t(i)], button[i], 2160, 1095, 615);
        connect(Command1[size_t(i)], &PressButton::mouseDown, this, [this, i](int b) { Command1_MouseDown(i, b); });

        ui::verticalLine(frame, separator[i], 360, 2760, QColor(0, 0, 255))
            ->setObjectName(QStringLiteral("Line%1").arg(i + 1));
    }
    label(frame, QStringLiteral("Général"), QRectF(10980, 420, 555, 195), "Label17");
    struct Global {
        const char *name;
        const char *text;
        int top;
        void (OutputsFrame::*slot)();
    };
    for (const Global &g : {Global{"Command11", "Sorties Inv", 720, &OutputsFrame::Command11_Click},
                            Global{"Command9", "Sorties à 0", 1440, &OutputsFrame::Command9_Click},
                            Global{"Command10", "Sorties à 1", 2160, &OutputsFrame::Command10_Click}}) {
        auto *b = new PressButton(QString::fromUtf8(g.text), frame);
        b->setObjectName(QString::fromLatin1(g.name));
        placement::place(b, 10860, g.top, 915, 615);
        connect(b, &QPushButton::clicked, this, g.slot);
    }
    connect(&bench_, &Bench::outputsChanged, this, &OutputsFrame::showOutputs);
    // The boxes write the bench's timetable as they change, typed or set by
    // the program, and show what the bench holds when another caller sets it.
    for (int i = 0; i < 8; ++i) {
        const auto write = [this, i] { bench_.setTimetableRow(i, row(i)); };
        connect(heure1[size_t(i)], &QLineEdit::textChanged, this, write);
        connect(heure2[size_t(i)], &QLineEdit::textChanged, this, write);
        connect(auto1[size_t(i)], &QCheckBox::toggled, this, write);
    }
    connect(&bench_, &Bench::timetableChanged, this, &OutputsFrame::showTimetable);
    showTimetable();
}

outputs::TimetableRow OutputsFrame::row(int i) const
{
    return {heure1[size_t(i)]->text(), heure2[size_t(i)]->text(), auto1[size_t(i)]->isChecked()};
}

void OutputsFrame::showTimetable()
{
    for (int i = 0; i < 8; ++i) {
        const outputs::TimetableRow &r = bench_.timetable()[size_t(i)];
        if (row(i) == r) continue;
        const QSignalBlocker quiet1(heure1[size_t(i)]), quiet2(heure2[size_t(i)]), quiet3(auto1[size_t(i)]);
        if (heure1[size_t(i)]->text() != r.start) heure1[size_t(i)]->setText(r.start);
        if (heure2[size_t(i)]->text() != r.end) heure2[size_t(i)]->setText(r.end);
        auto1[size_t(i)]->setChecked(r.automatic);
    }
}

std::array<QColor, 8> OutputsFrame::lamps() const
{
    std::array<QColor, 8> colours;
    for (size_t i = 0; i < 8; ++i) colours[i] = lampe1[i]->color();
    return colours;
}

Bench::Timetable OutputsFrame::timetable() const { return bench_.timetable(); }

void OutputsFrame::showOutputs()
{
    for (int i = 0; i < 8; ++i) lampe1[size_t(i)]->setColor(outputs::lampFor(bench_.output(i)));
}

void OutputsFrame::Command1_MouseDown(int index, int) { bench_.toggleOutput(index); }
void OutputsFrame::Command9_Click() { bench_.allOutputsOff(); }
void OutputsFrame::Command10_Click() { bench_.allOutputsOn(); }
void OutputsFrame::Command11_Click() { bench_.invertOutputs(); }

void OutputsFrame::heure1_MouseDown(int index, int button)
{
    if (button == 2 && index >= 0 && index < 8) heure1[size_t(index)]->setText(text::timeText(bench_.clock()));
}

void OutputsFrame::heure2_MouseDown(int index, int button)
{
    if (button == 2 && index >= 0 && index < 8) heure2[size_t(index)]->setText(text::timeText(bench_.clock()));
}
