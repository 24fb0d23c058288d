#pragma once
// The acquisition tables: eight analog tables of 1001 slots, one logic table
// of eight entries a slot, the number of slots in use and the write indexes.

#include "acquisition/times.h"

#include <QString>
#include <array>
#include <optional>
#include <variant>

// One table element: never written, a number, or a text kept exactly as stored
// (memorised values are texts in the two-decimal format).
class Element {
public:
    Element() = default;
    static Element number(double v)
    {
        Element e;
        e.value_ = v;
        return e;
    }
    static Element text(QString t)
    {
        Element e;
        e.value_ = std::move(t);
        return e;
    }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool isNumber() const { return std::holds_alternative<double>(value_); }
    bool isText() const { return std::holds_alternative<QString>(value_); }
    double asNumber() const { return isNumber() ? std::get<double>(value_) : 0.0; }
    QString asText() const { return isText() ? std::get<QString>(value_) : QString(); }

    // As a number: empty is 0, a text is read with the regional separator;
    // nothing when the text is no number.
    std::optional<double> toNumber() const;
    // As shown in the listing: a text unchanged, a number in plain decimal
    // with the regional separator, empty as nothing.
    QString toText() const;

    bool operator==(const Element &) const = default;

private:
    std::variant<std::monostate, double, QString> value_;
};

struct Tables {
    static constexpr int kSlots = acquisition::AcquisitionTimes::kSlots;  // slots 0 … 1000
    static constexpr int kLogicEntries = 8 * kSlots;                      // entries 0 … 8007
    static constexpr int kMinAcqui = 10;
    static constexpr int kMaxAcqui = 1000;

    std::array<std::array<Element, kSlots>, 8> ana;  // ana[k-1] is tab_ana k
    std::array<Element, kLogicEntries> tab_log;
    int nbre_acqui = 100;
    int indice_a = 0;
    int indice_l = 0;
    // When each slot was memorised, beside the elements (which stay as they are).
    acquisition::AcquisitionTimes times;

    Element &tab_ana(int k, int slot) { return ana[size_t(k - 1)][size_t(slot)]; }
    const Element &tab_ana(int k, int slot) const { return ana[size_t(k - 1)][size_t(slot)]; }
    // Bounds-checked reads for readers that may reach outside (zoom windows).
    const Element *anaAt(int k, long long slot) const;
    const Element *logAt(long long entry) const;
};
