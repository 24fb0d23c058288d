#pragma once
// The "Entrées logiques" frame: eight input indicators, the acquisition
// buttons, "Mémorisation" and the programming panel Frame4.

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

class LogicFrame : public QGroupBox {
    Q_OBJECT
public:
    LogicFrame(AcquisitionHost &host, QWidget *parent = nullptr);
    ~LogicFrame() override;

    // The decoding step once the bench's delay after "nL" has run out: the
    // receive buffer as it stood then, and when the request was written.
    void decode(const QString &buffer, const QDateTime &requested);
    // A start held while the other frame's acquisition awaited its decoding
    // has just proceeded.
    void heldStartReleased();
    // The panel is ending: no cyclic or programmed acquisition.
    void stopAcquisitions();
    // One acquisition, as "Acquisition Manuelle" starts it; false when held.
    bool startAcquisition();
    bool cycleRunning() const { return scheduler_->cycleRunning(); }
    // Its part of "param.ini": shown from what was read / put into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;

signals:
    // Every decoded acquisition, memorised or not, once the tables hold it.
    void acquisitionDecoded(const acquisition::Acquired &a);

public slots:
    void Command13_Click();  // "Acquisition Manuelle"
    void Command14_Click();  // "Acquisition Programmée": shows Frame4
    void Command15_Click();  // "Heure  PC"
    void Command18_Click();  // "Validation"
    void Command19_Click();  // "Annulation"
    void Check1_Click();
    void Check2_Click();
    void memo_l_Click();
    void Timer9_Timer();      // the programmed-mode check
    void cyclicWait_Timer();  // end of (part of) a cyclic wait

private:
    AcquisitionHost &host_;
    std::array<QLabel *, 8> log1_{};
    QCheckBox *memo_l_ = nullptr;
    QPushButton *Command13_ = nullptr;
    QPushButton *Command14_ = nullptr;
    QGroupBox *Frame4_ = nullptr;
    QComboBox *Combo1_ = nullptr;
    QComboBox *Combo2_ = nullptr;
    QCheckBox *Check1_ = nullptr;
    QCheckBox *Check2_ = nullptr;
    QLineEdit *Text2_ = nullptr;
    QTimer *Timer9_ = nullptr;
    QTimer *cyclicWait_ = nullptr;
    std::unique_ptr<acquisition::ui::PanelScheduler> scheduler_;
};
