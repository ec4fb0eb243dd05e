#pragma once

#include <cstddef>

namespace nelvo {

// The interface sounds, each synthesised in code.
enum class Sound {
    tick,      // an edge or a band moved a step
    slideIn,   // more days
    slideOut,  // fewer days
    copy,
    remove,  // something taken away
    restore,
};

inline constexpr std::size_t soundCount = 6;

}  // namespace nelvo
