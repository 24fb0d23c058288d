#pragma once
// The pictures of the bottom band: the title and the master switch.

#include <QPixmap>
#include <QString>

namespace pictures {

// The title picture: the project's own, 284 × 57 pixels.
QPixmap title();
// The switch lever from int2_on.dib / int2_off.dib beside the program, or
// drawn when those files are not there.
QPixmap masterSwitch(const QString &programDir, bool on);

}  // namespace pictures
