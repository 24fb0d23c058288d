#pragma once
// Whole-table operations and the recording rules: storing one acquisition at
// the write index, "RAZ tableaux", "Aléatoire" and the text listing of a table.

#include "acquisition/decode.h"
#include "acquisition/tables.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <random>

namespace acquisition {

// One analog acquisition: when memorising, tab_ana k (indice_a) takes the
// stored value of channel k (skipped channels keep theirs) and the slot takes
// the time of the request (when at least one channel was stored); indice_a
// grows by one and wraps to 0 past nbre_acqui. True when "Mémorisation" must
// uncheck.
bool storeAnalog(Tables &t, bool memorise, const AnalogReading &reading, const QDateTime &when = {});
// One logic acquisition: when memorising, tab_log (indice_l + k - 1) takes
// the digit of input k as text and the group the time of the request;
// indice_l grows by eight and wraps to 0 past 8 × nbre_acqui. True when
// "Mémorisation" must uncheck.
bool storeLogic(Tables &t, bool memorise, const LogicBits &bits, const QDateTime &when = {});

// What the status line says when "Mémorisation" unticks itself after the last
// slot while the cyclic mode goes on: "Tableaux analogiques pleins (1001
// acquisitions) : mémorisation arrêtée", and that the journal, when on, goes
// on recording.
QString memorisationFullText(bool analog, int acquisitions, bool journalOn);

// "RAZ tableaux": slots 0 … nbre_acqui of every table become the number 0
// and lose their times; returns the listing of tab_ana 2 written along the
// way. The indexes stay.
QString clearTables(Tables &t);

// The uniform generator of the random fill, over [0, 1). Its seed is fixed so
// that every start of the program gives the same tables; one instance lives as
// long as the window, so consecutive fills continue the sequence.
class RandomSource {
public:
    double next() { return double(engine_()) * (1.0 / 4294967296.0); }

private:
    std::mt19937 engine_{20050601u};
};

// "Aléatoire": analog slots 0 … nbre_acqui take floor(r × 255) (0 … 254),
// channel after channel within a slot; then the logic entries of those slots,
// in order, take 1 when floor(r × 10) >= 5, else 0. Those slots lose their times.
void randomFill(Tables &t, RandomSource &random);

// Listing of one table by the position of the table-view cycle: 0 … 6 are
// tab_ana 2 … 8, 7 the logic table, 8 tab_ana 1; any other value lists nothing.
QString listTable(const Tables &t, int num_tableau);
QString listAnalog(const Tables &t, int k);
QString listLogic(const Tables &t);
// The caption the table-view button takes after listing that table (empty
// for a position outside the cycle).
QString tableCaption(int num_tableau);

// One table-view step: the listing and the caption for the current position
// (no caption outside the cycle), then the position advances (8 wraps to 0).
struct TableView {
    QString text;
    std::optional<QString> caption;
};
TableView tableViewStep(const Tables &t, int &num_tableau);

}  // namespace acquisition
