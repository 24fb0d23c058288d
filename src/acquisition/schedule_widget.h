#pragma once
// The programming panel's behaviour, the same in both frames: Validation,
// Annulation, the programmed-mode check and the cyclic wait. The frames own
// the controls and forward their handlers here.

#include "acquisition/schedule.h"

#include <functional>

class AcquisitionHost;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace acquisition::ui {

struct PanelControls {
    bool analogList = true;                // which day list the panel has
    QPushButton *programButton = nullptr;  // "Acquisition Programmée"
    QWidget *panel = nullptr;
    QComboBox *intervals = nullptr;
    QCheckBox *cyclic = nullptr;
    QCheckBox *programmed = nullptr;
    QComboBox *days = nullptr;
    QLineEdit *hour = nullptr;
    QTimer *programmedTimer = nullptr;
    QTimer *cyclicTimer = nullptr;  // single shot, the remaining part of a wait
};

class PanelScheduler {
public:
    // startAcquisition returns false when the start is held (the other frame's
    // acquisition awaits its decoding); the frame calls heldStartReleased
    // once it has proceeded.
    PanelScheduler(AcquisitionHost &host, const PanelControls &controls, std::function<bool()> startAcquisition);

    void showPanel();
    void validate();
    void cancel();
    void programmedCheck();
    void copyTime();
    void cyclicWaitTick();
    void heldStartReleased();
    void stop();  // no cyclic wait, no programmed check
    bool cycleRunning() const { return wait_.active() || restart_when_released_; }

private:
    void armCyclicTimer();

    AcquisitionHost &host_;
    PanelControls c_;
    std::function<bool()> start_;
    CyclicWait wait_;
    // The cyclic start was held: the next wait begins when it proceeds.
    bool restart_when_released_ = false;
};

}  // namespace acquisition::ui
