#pragma once
// The "Entrées analogiques" frame: eight channel columns (value, unit,
// coefficient), the acquisition buttons, "Mémorisation" and the programming
// panel Frame5 with its cyclic and programmed modes.

#include "acquisition/acquired.h"
#include "acquisition/schedule_widget.h"

#include <QGroupBox>
#include <array>
#include <memory>

namespace files {
struct Configuration;
}
class AcquisitionHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class AnalogFrame : public QGroupBox {
    Q_OBJECT
public:
    AnalogFrame(AcquisitionHost &host, QWidget *parent = nullptr);
    ~AnalogFrame() override;

    // The decoding step once the bench's delay after "nA" has run out: the
    // receive buffer as it stood then, and when the request was written.
    void decode(const QString &buffer, const QDateTime &requested);
    // A start held while the other frame's acquisition awaited its decoding
    // has just proceeded.
    void heldStartReleased();
    // The panel is ending: no cyclic or programmed acquisition.
    void stopAcquisitions();
    // One acquisition, as "Acquisition Manuelle" starts it; false when held.
    bool startAcquisition();

    QString coefficientText(int k) const;  // channel 1 … 8
    QString unitText(int k) const;
    bool cycleRunning() const { return scheduler_->cycleRunning(); }
    // Its part of "param.ini": shown from what was read / put into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;

signals:
    // Every decoded acquisition, memorised or not, once the tables hold it.
    void acquisitionDecoded(const acquisition::Acquired &a);

public slots:
    void Command12_Click();  // "Acquisition Manuelle"
    void Command16_Click();  // "Acquisition Programmée": shows Frame5
    void Command17_Click();  // "Heure  PC"
    void Command20_Click();  // "Annulation"
    void Command21_Click();  // "Validation"
    void Check5_Click();
    void Check6_Click();
    void memo_a_Click();
    void Timer6_Timer();      // the programmed-mode check
    void cyclicWait_Timer();  // end of (part of) a cyclic wait

private:
    AcquisitionHost &host_;
    std::array<QLabel *, 8> ana_{};
    std::array<QLineEdit *, 8> coeff_{};
    std::array<QLineEdit *, 8> unit_{};
    QCheckBox *memo_a_ = nullptr;
    QPushButton *Command12_ = nullptr;
    QPushButton *Command16_ = nullptr;
    QGroupBox *Frame5_ = nullptr;
    QComboBox *Combo4_ = nullptr;
    QComboBox *Combo3_ = nullptr;
    QCheckBox *Check5_ = nullptr;
    QCheckBox *Check6_ = nullptr;
    QLabel *Label67_ = nullptr;
    QLineEdit *Text3_ = nullptr;
    QTimer *Timer6_ = nullptr;
    QTimer *cyclicWait_ = nullptr;
    std::unique_ptr<acquisition::ui::PanelScheduler> scheduler_;
};
