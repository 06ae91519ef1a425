#pragma once

namespace tallix {

// x raised to y, rounded correctly to the nearest double (ties to even) on every platform, so that the
// same keys show the same texts wherever Tallix runs: C libraries' pow differ in their last bits
// (MinGW-w64's by many units for large exponents; glibc's by one unit in about one case in a thousand,
// 10^23 among them). Special values (zero, infinity, NaN, a negative base with a fraction) follow C's pow.
double Pow(double x, double y);

} // namespace tallix
