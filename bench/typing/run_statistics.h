#pragma once

#include <vector>

namespace tastalo::bench {

// The middle value (the mean of the two middle ones for an even count); 0
// for no values.
double median(std::vector<double> values);

// The largest and the smallest value; 0 for no values.
double largest(const std::vector<double>& values);
double smallest(const std::vector<double>& values);

// How far `measured` lies above `floor`, in percent of `floor` (negative
// below it). `floor` must be above 0.
double percentAbove(double measured, double floor);

}  // namespace tastalo::bench
