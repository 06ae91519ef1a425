#include "engine/power.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// Exact and halfway results (a double, or the middle between two) are worked out with integers. All
// others are computed in double-double arithmetic, at least 94 correct bits, and rounded once: such a
// result could round the wrong way only if it lay within 2^-94 (relative) of the middle between two
// doubles, a chance of about 2^-41 for an arbitrary input. Only + - * /, sqrt, frexp, ldexp, floor,
// fmod and a first guess from log are taken from the C library; neither FMA nor extended precision
// is assumed.

namespace tallix {
namespace {

struct DD { // hi + lo, |lo| at most half a unit in the last place of hi
    double hi;
    double lo;
};

DD twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD fastTwoSum(double a, double b) { // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

DD split(double a) { // Veltkamp: two halves of 26 bits; |a| < 2^995
    const double c = 134217729.0 * a;
    const double hi = c - (c - a);
    return {hi, a - hi};
}

DD twoProd(double a, double b) { // Dekker: the exact product
    const double p = a * b;
    const DD x = split(a), y = split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

DD add(DD a, DD b) {
    const DD s = twoSum(a.hi, b.hi);
    const DD t = twoSum(a.lo, b.lo);
    const DD u = fastTwoSum(s.hi, s.lo + t.hi);
    return fastTwoSum(u.hi, u.lo + t.lo);
}

DD mul(DD a, DD b) {
    const DD p = twoProd(a.hi, b.hi);
    return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DD div(DD a, double b) {
    const double q = a.hi / b;
    const DD p = twoProd(q, b);
    const DD r = twoSum(a.hi, -p.hi);
    return fastTwoSum(q, (r.hi + (r.lo - p.lo + a.lo)) / b);
}

constexpr DD kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// e^r - 1 for |r| below 0.36, by its Taylor series.
DD expm1(DD r) {
    DD sum{0, 0};
    DD term = r;
    for (int n = 2; n < 40 && std::fabs(term.hi) > 0x1p-112 * std::fabs(r.hi); ++n) {
        sum = add(sum, term);
        term = div(mul(term, r), n);
    }
    return sum;
}

// ln m for m in [sqrt(1/2), sqrt(2)): two Newton steps from the library's guess, each squaring the
// error, so that a library's log a few units off does no harm. The step y + m e^-y - 1 is written as
// y + m (e^-y - 1) + (m - 1), which stays accurate near m = 1 (where m - 1 is exact).
DD logNear1(double m) {
    DD y{std::log(m), 0};
    for (int step = 0; step < 2; ++step)
        y = add(y, add(mul({m, 0}, expm1({-y.hi, -y.lo})), {m - 1, 0}));
    return y;
}

// e^t rounded to a double.
double expRounded(DD t) {
    if (t.hi > 800) return HUGE_VAL;
    if (t.hi < -800) return 0;
    const double k = std::floor(t.hi * 0x1.71547652b82fep0 + 0.5); // |t - k ln 2| <= ln 2 / 2
    const DD kLn2Hi = twoProd(k, kLn2.hi);
    const DD r = add(add(t, {-kLn2Hi.hi, -kLn2Hi.lo}), {-k * kLn2.lo, 0});
    const DD w = add({1, 0}, expm1(r)); // e^r in [0.7, 1.42]
    const int scale = static_cast<int>(k);
    if (scale >= -1021) return std::ldexp(w.hi, scale); // a normal number, or infinity
    // Subnormal: round w 2^(scale + 1074) to an integer count of the smallest subnormal.
    const DD n{std::ldexp(w.hi, scale + 1074), std::ldexp(w.lo, scale + 1074)};
    double whole = std::floor(n.hi);
    const double rest = (n.hi - whole) + n.lo;
    const bool odd = std::fmod(whole, 2) != 0;
    if (rest > 0.5 || (rest == 0.5 && odd)) whole += 1;
    if (rest < -0.5 || (rest == -0.5 && odd)) whole -= 1;
    return std::ldexp(whole, -1074);
}

struct Dyadic { // odd * 2^exponent
    std::uint64_t odd;
    std::int64_t exponent;
};

Dyadic decompose(double x) { // x > 0
    int e = 0;
    auto odd = static_cast<std::uint64_t>(std::ldexp(std::frexp(x, &e), 53));
    std::int64_t exponent = e - 53;
    for (; odd % 2 == 0; odd /= 2)
        ++exponent;
    return {odd, exponent};
}

// odd 2^exponent rounded to a double (ties to even), subnormal and overflowing results included.
double roundDyadic(Dyadic d) {
    int bits = 0;
    for (std::uint64_t v = d.odd; v != 0; v >>= 1)
        ++bits;
    const std::int64_t top = d.exponent + bits - 1; // x lies in [2^top, 2^(top+1))
    if (top > 1023) return HUGE_VAL;
    const std::int64_t keep = top >= -1022 ? 53 : 53 - (-1022 - top);
    const std::int64_t drop = bits - keep;
    if (drop <= 0) return std::ldexp(static_cast<double>(d.odd), static_cast<int>(d.exponent));
    if (drop > bits) return 0; // below half the smallest subnormal
    std::uint64_t kept = drop == 64 ? 0 : d.odd >> drop;
    const std::uint64_t rest = d.odd - (drop == 64 ? 0 : kept << drop);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && kept % 2 == 1)) ++kept;
    return std::ldexp(static_cast<double>(kept), static_cast<int>(d.exponent + drop));
}

// x^y for x > 0 when it is a dyadic number of at most 64 significant bits, which covers every result
// that is a double or lies halfway between two. Then y = p / 2^j, x is a perfect 2^j-th power, and
// for p < 0 a power of two.
std::optional<double> exactPower(double x, double y) {
    int j = 0;
    for (; y != std::floor(y); y *= 2)
        if (++j > 10) return std::nullopt;
    if (std::fabs(y) > 0x1p30) return std::nullopt; // odd part too long, or far out of range
    auto p = static_cast<std::int64_t>(y);
    Dyadic root = decompose(x);
    for (int i = 0; i < j; ++i) {
        const auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(root.odd)));
        if (r * r != root.odd || root.exponent % 2 != 0) return std::nullopt;
        root = {r, root.exponent / 2};
    }
    if (p < 0 && root.odd != 1) return std::nullopt;
    std::uint64_t odd = 1;
    for (std::int64_t i = 0; i < (p < 0 ? -p : p) && root.odd != 1; ++i) {
        if (odd > UINT64_MAX / root.odd) return std::nullopt;
        odd *= root.odd;
    }
    return roundDyadic({odd, root.exponent * p});
}

} // namespace

double Pow(double x, double y) {
    if (x == 0 || y == 0 || !std::isfinite(x) || !std::isfinite(y)) return std::pow(x, y);
    const bool integral = y == std::floor(y);
    if (x < 0 && !integral) return std::numeric_limits<double>::quiet_NaN();
    const bool negative = x < 0 && std::fmod(y, 2) != 0;
    const double a = std::fabs(x);
    double result = 0;
    if (a == 1) {
        result = 1;
    } else if (const auto exact = exactPower(a, y)) {
        result = *exact;
    } else {
        int k = 0;
        double m = std::frexp(a, &k);
        if (m < 0x1.6a09e667f3bcdp-1) m *= 2, --k; // m in [sqrt(1/2), sqrt(2))
        const DD lnA = add(twoProd(k, kLn2.hi), add({k * kLn2.lo, 0}, logNear1(m)));
        const double estimate = lnA.hi * y;
        if (std::fabs(estimate) > 800) {
            result = estimate > 0 ? HUGE_VAL : 0;
        } else {
            const DD p = twoProd(lnA.hi, y);
            result = expRounded(fastTwoSum(p.hi, p.lo + lnA.lo * y));
        }
    }
    return negative ? -result : result;
}

} // namespace tallix
