#pragma once

#include "nevrik/geometry/Cube.h"
#include "nevrik/geometry/Space.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Universe.h"

#include <cstdint>
#include <type_traits>
#include <utility>

namespace nevrik::scene3d::detail {

/// What a visitor's enter() answers for a cell: skip the cell with its
/// subtree, descend and test what is below, or take the whole subtree without
/// further tests.
enum class CellVerdict { Skip, Descend, Whole };

/// Whether `Visitor` enters a cell given the whole cell, which also offers
/// its bounds, rather than its loose cube alone.
template <class Visitor, class Cell, class = void>
struct EntersWholeCells : std::false_type {};
template <class Visitor, class Cell>
struct EntersWholeCells<Visitor, Cell,
                        std::void_t<decltype(std::declval<Visitor&>().enter(std::declval<const Cell&>()))>>
    : std::true_type {};

/// Walks the placeables of a loose octree from its root cell, depth first:
/// in each cell slots 0 to 7 in order (a slot's cell is walked before the
/// next slot), then the cell's own list. The root itself is not offered to
/// enter().
///
/// `visitor` provides `CellVerdict enter(const geometry::Cube& loose)`, or
/// `CellVerdict enter(const Cell& cell)` to cull by the cell's bounds, for
/// each cell below the root (not asked below a cell taken whole) and
/// `void visit(Placeable& placeable, bool whole)`, where `whole` says the
/// placeable lies below a cell taken whole. The walk climbs back through
/// parent links, so it needs no stack however deep the tree; a visitor must
/// not change the space while it walks.
template <class Placeable, class Visitor>
void walkSpace(const typename Placeable::Cell& root, Visitor& visitor) {
    using Cell = typename Placeable::Cell;
    const Cell* cell = &root;
    const Cell* whole = nullptr;  // the cell taken whole that the walk is below, if any
    int slot = 0;
    for (;;) {
        // The occupied slots from `slot` (at most 8) on: empty ones cost nothing.
        const std::uint32_t pending = cell->getSlotMask() >> slot << slot;
        if (pending != 0) {
            const int current = __builtin_ctz(pending);
            slot = current + 1;
            if (Placeable* placeable = cell->getPlaceable(current)) {
                visitor.visit(*placeable, whole != nullptr);
            } else {
                const Cell* child = cell->getCell(current);
                CellVerdict verdict = CellVerdict::Whole;
                if (whole == nullptr) {
                    if constexpr (EntersWholeCells<Visitor, Cell>::value) {
                        verdict = visitor.enter(*child);
                    } else {
                        verdict = visitor.enter(child->getCube());
                    }
                }
                if (verdict != CellVerdict::Skip) {
                    if (verdict == CellVerdict::Whole && whole == nullptr) {
                        whole = child;
                    }
                    cell = child;
                    slot = 0;
                }
            }
            continue;
        }
        for (Placeable* placeable = cell->getListHead(); placeable != nullptr;) {
            Placeable* next = placeable->getNextInCell();
            visitor.visit(*placeable, whole != nullptr);
            placeable = next;
        }
        if (cell == whole) {
            whole = nullptr;
        }
        if (cell == &root) {
            return;
        }
        slot = cell->getIndex() + 1;
        cell = cell->getParent();
    }
}

/// Runs `visit(locale, preset)` for the locale a traverser was given
/// (`current` non-null, preset true), or else for each locale of `universe`
/// in chain order with `current` set to it during its visit and null again
/// afterwards, even when a visit throws. A null universe has no locales.
template <class Visit>
void forEachLocale(Universe* universe, Locale*& current, Visit&& visit) {
    if (current != nullptr) {
        visit(*current, true);
        return;
    }
    if (universe == nullptr) {
        return;
    }
    struct Reset {
        Locale*& current;
        ~Reset() { current = nullptr; }
    } reset{current};
    for (Locale* locale : universe->getLocales()) {
        current = locale;
        visit(*locale, false);
    }
}

}  // namespace nevrik::scene3d::detail
