#pragma once
// The "Entrées logiques" frame, a view of the logic frame engine: eight input
// indicators, the acquisition buttons, "Mémorisation" and the programming
// panel Frame4. Each control writes the engine when the user changes it and
// shows what the engine says.

#include <QGroupBox>
#include <array>

namespace files {
struct Configuration;
}
class FrameEngine;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class LogicFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit LogicFrame(FrameEngine &engine, QWidget *parent = nullptr);

    FrameEngine &engine() const { return engine_; }
    // Its part of "param.ini": put into the engine from what was read /
    // taken from the engine into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;

public slots:
    void Command13_Click();  // "Acquisition Manuelle"
    void Command14_Click();  // "Acquisition Programmée": shows Frame4
    void Command15_Click();  // "Heure  PC"
    void Command18_Click();  // "Validation"
    void Command19_Click();  // "Annulation"
    void Check1_Click();
    void Check2_Click();
    void memo_l_Click();

private:
    void showMode();
    void showValues();
    void showMemorising();

    FrameEngine &engine_;
    std::array<QLabel *, 8> log1_{};
    QCheckBox *memo_l_ = nullptr;
    QPushButton *Command14_ = nullptr;
    QGroupBox *Frame4_ = nullptr;
    QComboBox *Combo1_ = nullptr;
    QComboBox *Combo2_ = nullptr;
    QCheckBox *Check1_ = nullptr;
    QCheckBox *Check2_ = nullptr;
    QLineEdit *Text2_ = nullptr;
};
