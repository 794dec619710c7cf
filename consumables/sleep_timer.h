// The sleep timer's minutes: what the tool writes for a requested value on a scanner, with the
// corrections it makes on the way.
#pragma once

#include <cstdint>

/// A value the tool corrected before writing it: the requested and the written one.
struct value_rounding {
    int iFrom;
    int iTo;
};

/// The minutes the tool writes and the corrections made, in order (at most two: the second only
/// when the scanner reports a lowest setting above its highest).
struct sleep_timer_choice {
    int iMinutes;
    int iRoundings;
    value_rounding astRoundings[2];
};

/// Minutes as an int: more than an int holds stands for the farthest whole 5-minute step that
/// fits, so that no step the library reports overflows.
int SleepMinutesAsInt(long long minutes);

/// The minutes of a sleep-timer step as an int (SleepMinutesAsInt).
int SleepMinutesOfStep(int32_t step);

/// What the tool writes for `requested` minutes on a scanner whose settings run from loMinutes to
/// hiMinutes: a value off the 5-minute step goes toward zero, or to the nearer end when it lies
/// outside the range; then a value outside the range is brought to its nearer end.
sleep_timer_choice ChooseSleepMinutes(int requested, long long loMinutes, long long hiMinutes);
