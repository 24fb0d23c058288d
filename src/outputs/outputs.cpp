#include "outputs/outputs.h"

namespace outputs {

void applyTimetable(std::array<bool, 8> &states, const std::array<TimetableRow, 8> &rows,
                    const std::function<QString()> &timeText)
{
    for (size_t i = 0; i < 8; ++i)
        if (rows[i].start == timeText() && rows[i].automatic) states[i] = true;
    for (size_t i = 0; i < 8; ++i)
        if (rows[i].end == timeText() && rows[i].automatic) states[i] = false;
}

}  // namespace outputs
