#pragma once
// pramelord's log: one French line per event on standard error, with the
// priority prefix systemd's journal reads ("<3>" an error … "<7>" a detail).

#include <QString>

namespace service {

enum class Priority { Error = 3, Warning = 4, Notice = 5, Info = 6, Debug = 7 };

void say(Priority priority, const QString &text);

}  // namespace service
