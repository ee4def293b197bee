// FaderRange: a trackbar's range and the rules of its positions that the dialog manager
// applies: every position is clamped into the range; a key steps the thumb by a line of 1, a
// page of a fifth of the range (at least 1), or to either end; and the accessible value is
// how far the thumb stands from the end of the range, in the units the dialog gave.
//
// Threads: any (a value).
#pragma once

#include "DialogKey.h"

#include <optional>

// A trackbar's line: what an arrow key or a notch of the wheel moves it by; and its range
// before anyone sets one.
constexpr int kFaderLineSize = 1;
constexpr int kFaderDefaultMax = 100;

// Where a key moves a trackbar's thumb, and the scroll code that reports it.
struct FaderStep {
    int target = 0;
    unsigned code = 0;
};

struct FaderRange {
    int minimum = 0;
    int maximum = kFaderDefaultMax;
    int valueTop = 0; // the accessible value's top; 0: the range's length

    // The highest position: a maximum below the minimum counts as the minimum.
    int Highest() const;
    int Clamp(int pos) const;
    int PageSize() const;
    // Where `key` moves the thumb from `pos` (clamped), or nothing for a key that steps no
    // trackbar. Up and Left go toward the minimum, the top of a vertical trackbar.
    std::optional<FaderStep> Step(DialogKey key, int pos) const;
    // The accessible value at `pos`, and the most it reads.
    int AccessibleValue(int pos) const;
    int AccessibleTop() const;
};
