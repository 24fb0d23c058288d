#pragma once
// The "Entrées analogiques" frame, a view of the analog frame engine: eight
// channel columns (value, unit, coefficient), the acquisition buttons,
// "Mémorisation" and the programming panel Frame5. Each control writes the
// engine when the user changes it and shows what the engine says.

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

class AnalogFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit AnalogFrame(FrameEngine &engine, QWidget *parent = nullptr);

    FrameEngine &engine() const { return engine_; }
    // Its part of "param.ini": put into the engine from what was read /
    // taken from the engine into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;

public slots:
    void Command12_Click();  // "Acquisition Manuelle"
    void Command16_Click();  // "Acquisition Programmée": shows Frame5
    void Command17_Click();  // "Heure  PC"
    void Command20_Click();  // "Annulation"
    void Command21_Click();  // "Validation"
    void Check5_Click();
    void Check6_Click();
    void memo_a_Click();

private:
    void showMode();
    void showValues();
    void showMemorising();
    void showCoefficient(int k);
    void showUnit(int k);

    FrameEngine &engine_;
    std::array<QLabel *, 8> ana_{};
    std::array<QLineEdit *, 8> coeff_{};
    std::array<QLineEdit *, 8> unit_{};
    QCheckBox *memo_a_ = nullptr;
    QPushButton *Command16_ = nullptr;
    QGroupBox *Frame5_ = nullptr;
    QComboBox *Combo4_ = nullptr;
    QComboBox *Combo3_ = nullptr;
    QCheckBox *Check5_ = nullptr;
    QCheckBox *Check6_ = nullptr;
    QLabel *Label67_ = nullptr;
    QLineEdit *Text3_ = nullptr;
};
