#include "base/decimal.h"

#include <cmath>

namespace xcyh2 {

namespace {

// Digits of value written backwards into the end of a buffer; returns where they start.
wchar_t* WriteDigits(unsigned long long value, wchar_t* end) {
    do {
        *--end = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return end;
}

}  // namespace

std::wstring UnsignedDecimal(unsigned long long value) {
    wchar_t buffer[20];
    wchar_t* end = buffer + 20;
    return std::wstring(WriteDigits(value, end), end);
}

std::wstring SignedDecimal(long long value) {
    // The magnitude in unsigned arithmetic, so the most negative value needs no special case.
    unsigned long long magnitude = static_cast<unsigned long long>(value);
    if (value < 0) magnitude = 0 - magnitude;
    wchar_t buffer[21];
    wchar_t* end = buffer + 21;
    wchar_t* start = WriteDigits(magnitude, end);
    if (value < 0) *--start = L'-';
    return std::wstring(start, end);
}

std::wstring FixedDecimal(double value, int maxFractionDigits) {
    if (std::isnan(value)) return L"nan";
    if (std::isinf(value)) return value < 0 ? L"-inf" : L"inf";
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    int places = maxFractionDigits < 0 ? 0 : maxFractionDigits > 9 ? 9 : maxFractionDigits;
    double magnitude = std::fabs(value);
    // The value in units of the last place kept, as a whole number that 64 bits hold.
    double scaled = std::round(magnitude * kPowers[places]);
    while (places > 0 && scaled >= 1e18) scaled = std::round(magnitude * kPowers[--places]);
    int zeros = 0;
    for (; scaled >= 1e18; ++zeros) scaled = std::round(scaled / 10);
    unsigned long long units = static_cast<unsigned long long>(scaled);
    // Trailing zeros of the fraction are not written.
    for (; places > 0 && units % 10 == 0; --places) units /= 10;

    bool negative = value < 0 && (units != 0 || zeros != 0);
    wchar_t buffer[32];
    wchar_t* end = buffer + 32;
    wchar_t* start = end;
    for (int i = 0; i < places; ++i, units /= 10) *--start = static_cast<wchar_t>(L'0' + units % 10);
    if (places > 0) *--start = L'.';
    start = WriteDigits(units, start);
    if (negative) *--start = L'-';
    return std::wstring(start, end) + std::wstring(static_cast<std::size_t>(zeros), L'0');
}

}  // namespace xcyh2
