#pragma once
// "Exporter la plage en CSV…": the lines of the journal whose times fall in
// the span shown, copied byte for byte from the journal, after a header line
// naming the units in force at the first of them (a change of unit inside
// the span keeps its own header line). Damaged lines stay out.

#include "viewer/span.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace viewer {

// Reads the journal at path again; nothing (error: French) when it cannot.
std::optional<QByteArray> spanLines(const QString &path, const Span &span, QString *error);

}  // namespace viewer
