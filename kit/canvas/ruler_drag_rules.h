#pragma once

namespace nelvo {

// What releasing a dragged time-zone ruler does: reorder, remove, or spring back.
namespace RulerDragRules {

// A ruler dropped this far outside the ruler area, in points, still counts as inside.
inline constexpr double outsideTolerance = 40;

struct Layout {
    int count = 0;          // rulers side by side
    double rulerWidth = 0;  // points
    double spacing = 0;     // gap between neighbouring rulers, points
    double axisHeight = 0;  // height of the ruler area, points

    bool operator==(const Layout&) const = default;
};

struct Outcome {
    enum class Kind { move, remove, cancel };

    Kind kind = Kind::cancel;
    int targetIndex = 0;  // for `move` only; 0 otherwise, so equal outcomes compare equal

    static constexpr Outcome move(int to) { return Outcome{Kind::move, to}; }
    static constexpr Outcome remove() { return Outcome{Kind::remove, 0}; }
    static constexpr Outcome cancel() { return Outcome{Kind::cancel, 0}; }

    bool operator==(const Outcome&) const = default;
};

// The index, within 0...count − 1, nearest to where ruler `index` lands after moving `dx`
// points (halves away from zero). 0 with no rulers; `index` when the layout has no width.
int targetIndex(int index, int count, double dx, double rulerWidth, double spacing);

// Whether ruler `index`, moved `dx` points sideways, with the pointer at `vertical` points
// from the top of the ruler area, lies more than the tolerance outside that area.
bool isOutside(int index, int count, double dx, double vertical, const Layout& layout);

// Dropped outside: `remove`, except the primary ruler, which springs back (`cancel`).
// Inside: `move` to the target index, or `cancel` when it lands on its own place.
Outcome outcome(int index, bool isPrimary, double dx, double vertical, const Layout& layout);

}  // namespace RulerDragRules

}  // namespace nelvo
