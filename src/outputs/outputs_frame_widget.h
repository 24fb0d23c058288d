#pragma once
// The "Sorties à relais" frame: for each of the eight outputs its start and
// end times, its "Auto" box, its lamp and its forcing button, and the three
// buttons for all of them. It shows the bench's outputs and asks the bench
// for every change.

#include "engine/bench.h"

#include <QColor>
#include <QGroupBox>
#include <array>

namespace files {
struct Configuration;
}
class QCheckBox;
class Lamp;
class TimeBox;
class PressButton;

class OutputsFrame : public QGroupBox {
    Q_OBJECT
public:
    OutputsFrame(Bench &bench, QWidget *parent);

    std::array<QColor, 8> lamps() const;
    // The timetable as the boxes read now.
    Bench::Timetable timetable() const;
    // Its part of "param.ini": shown from what was read / put into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;

public slots:
    void Command1_MouseDown(int index, int button);
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void heure1_MouseDown(int index, int button);
    void heure2_MouseDown(int index, int button);

private:
    void showOutputs();
    void showTimetable();
    outputs::TimetableRow row(int i) const;  // as the boxes read now

    Bench &bench_;
    std::array<Lamp *, 8> lampe1{};
    std::array<PressButton *, 8> Command1{};
    std::array<TimeBox *, 8> heure1{}, heure2{};
    std::array<QCheckBox *, 8> auto1{};
};
