#pragma once

namespace nelvo {

// What assistive technologies can do with the canvas beyond names: the bars are adjustable
// (increment: 15 minutes later, decrement: 15 minutes earlier, or set a value), the bands
// offer "Trim start", "Trim end" and "Restore". Screen readers reach them over AT-SPI.
namespace CanvasAccessibility {

// Installs the interfaces once per process; later calls do nothing.
void install();

}  // namespace CanvasAccessibility

}  // namespace nelvo
