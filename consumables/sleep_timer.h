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

/// The minutes of a sleep-timer step as an int: a step whose minutes would not fit stands for the
/// farthest whole step that does, so that no step the library reports overflows.
int SleepMinutesOfStep(int32_t step);

/// What the tool writes for `requested` minutes on a scanner whose settings run from minStep to
/// maxStep (steps of 5 minutes): a value off the step goes toward zero, or to the nearer end when
/// it lies outside the range; then a value outside the range is brought to its nearer end.
sleep_timer_choice ChooseSleepMinutes(int requested, int32_t minStep, int32_t maxStep);
