// The JSON decoders of the day rules: any input decodes or fails cleanly, and whatever
// decodes encodes and decodes back to the same value.
#include "kit/core/daily_window.h"
#include "kit/core/day_exclusions.h"
#include "kit/core/window_overrides.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

template <typename T>
void roundTrip(std::string_view text)
{
    const auto decoded = T::fromJson(text);
    if (!decoded)
        return;
    const auto again = T::fromJson(decoded.value->toJson());
    if (!again || *again.value != *decoded.value)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    roundTrip<nelvo::DailyWindow>(text);
    roundTrip<nelvo::DayExclusions>(text);
    roundTrip<nelvo::WindowOverrides>(text);
    return 0;
}
