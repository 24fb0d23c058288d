#pragma once
// "Ouvrir graphique" without freezing the panel: the files are read on a
// thread of their own while the window's events keep running (the output
// command, the clock, the serial line); a read that lasts shows its
// progress and can be given up.

#include "files/acquisition_reader.h"

#include <QString>
#include <functional>

class QWidget;

namespace files {

struct WaitOptions {
    int progressAfterMs = 1000;  // the progress window shows after this
    // Called on the reading thread after each piece (tests hold reads back).
    std::function<void()> eachPiece;
};

// Returns once both files are read, or the read was given up ("Annuler" or
// the program ending). One read at a time: a call while another runs
// returns at once with a French message and nothing read.
AcquisitionRead readAcquisitionsWaiting(QWidget *window, const QString &path, const WaitOptions &options = {});

}  // namespace files
