#include "acquisition/tables.h"

#include "text/numbers.h"

std::optional<double> Element::toNumber() const
{
    if (isEmpty()) return 0.0;
    if (isNumber()) return asNumber();
    return text::readRegional(std::get<QString>(value_));
}

QString Element::toText() const
{
    if (isText()) return std::get<QString>(value_);
    if (isNumber()) return text::plainNumber(asNumber());
    return QString();
}

const Element *Tables::anaAt(int k, long long slot) const
{
    if (k < 1 || k > 8 || slot < 0 || slot >= kSlots) return nullptr;
    return &ana[size_t(k - 1)][size_t(slot)];
}

const Element *Tables::logAt(long long entry) const
{
    if (entry < 0 || entry >= kLogicEntries) return nullptr;
    return &tab_log[size_t(entry)];
}
