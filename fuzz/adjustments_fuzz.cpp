// Arbitrary bytes as an adjustments file, a settings record and a defaults file: the
// decoders must fail cleanly, and whatever they accept must survive a write and a read.

#include "kit/model/adjustments.h"
#include "kit/model/settings.h"
#include "kit/store/file_user_defaults.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nelvo;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto adjustments = Adjustments::fromJson(text)) {
        // Fractions of seconds are dropped on writing, so compare the written forms.
        const std::string written = adjustments.value->toJson();
        const auto reread = Adjustments::fromJson(written);
        check(reread.value.has_value());
        check(reread.value->toJson() == written);
        check(reread.value->holdKinds({}).size() == reread.value->reserved.size());
    }

    if (const auto settings = Settings::fromJson(text)) {
        const std::string written = settings.value->toJson();
        const auto reread = Settings::fromJson(written);
        check(reread.value.has_value());
        check(reread.value->toJson() == written);
        // The record's own operations on hostile values.
        Settings copy = *settings.value;
        const TimeZone utc = TimeZone::utc();
        copy.ensurePrimaryRuler(utc);
        check(!copy.renderZones(utc).empty());
        copy.moveZone(utc.id(), settings.value->dayCount);
        copy.removeZone("Etc/GMT-1", utc);
    }

    (void)FileUserDefaults::decode(text);
    return 0;
}
