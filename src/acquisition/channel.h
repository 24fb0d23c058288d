#pragma once
// The two input frames of the board: the analog channels and the logic inputs.

enum class Channel { Analog, Logic };
