#pragma once

namespace nelvo {

// What assistive technologies can do with the canvas beyond names: the bars are adjustable
// (increment: 15 minutes later, decrement: 15 minutes earlier, or set a value; a day's own
// bar can follow the shared one again), the bands offer "Trim start", "Trim end" and
// "Restore", time taken out "Restore", a freed meeting's trace "Make it busy again", the
// rulers "Make First", "Move Left", "Move Right", "Remove" and "Rename". Screen readers reach
// them over AT-SPI.
namespace CanvasAccessibility {

// Installs the interfaces once per process; later calls do nothing. Every view that has one
// calls it before it is first shown: an interface made before the factory is kept for the
// object's lifetime.
void install();

}  // namespace CanvasAccessibility

}  // namespace nelvo
