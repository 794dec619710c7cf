// The sleep timer's minutes as the tool writes them.
#include "consumables/sleep_timer.h"

#include "access/records.h"

int SleepMinutesAsInt(long long minutes) {
    const long long farthest = INT32_MAX / kMinutesPerSleepStep * kMinutesPerSleepStep;
    return static_cast<int>(minutes > farthest ? farthest
                                               : (minutes < -farthest ? -farthest : minutes));
}

int SleepMinutesOfStep(int32_t step) {
    return SleepMinutesAsInt(MinutesOfSleepStep(step));
}

static void Correct(sleep_timer_choice* choice, int to) {
    choice->astRoundings[choice->iRoundings++] = {choice->iMinutes, to};
    choice->iMinutes = to;
}

sleep_timer_choice ChooseSleepMinutes(int requested, long long loMinutes, long long hiMinutes) {
    int lo = SleepMinutesAsInt(loMinutes);
    int hi = SleepMinutesAsInt(hiMinutes);
    sleep_timer_choice choice{requested, 0, {}};
    if (requested % kMinutesPerSleepStep != 0) {
        Correct(&choice, requested < lo ? lo
                         : requested >= hi
                             ? hi
                             : kMinutesPerSleepStep * (requested / kMinutesPerSleepStep));
    }
    if (choice.iMinutes < lo) {
        Correct(&choice, lo);
    } else if (choice.iMinutes > hi) {
        Correct(&choice, hi);
    }
    return choice;
}
