#pragma once

#include "kit/model/uuid.h"

#include <cstdint>
#include <memory>

namespace nelvo::test {

// Ids 00000000-0000-0000-0000-000000000001, ...02, ... in turn: tests can name the ids that
// code under test makes.
inline Uuid numberedUuid(std::uint8_t n)
{
    Uuid id;
    id.bytes.back() = n;
    return id;
}

inline UuidGenerator numberedUuids(std::uint8_t first = 1)
{
    auto next = std::make_shared<std::uint8_t>(first);
    return [next] { return numberedUuid((*next)++); };
}

}  // namespace nelvo::test
