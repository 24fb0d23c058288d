#pragma once
// "Exporter en CSV…": the tables for a spreadsheet. One header row, then one
// row a slot in use: the time of the acquisition (ISO 8601 to the
// millisecond: the analog slot's, else the logic group's; empty when neither
// has one), the slot, each analog value and its voltage, the eight logic
// inputs. Commas between fields, "." as the decimal point whatever the
// regional setting, CR LF line ends; an element never written is an empty cell.

#include "acquisition/tables.h"

#include <QByteArray>

namespace files {

QByteArray csvBytes(const Tables &t);

}  // namespace files
