#pragma once

#include "nevrik/container/Chain.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Node.h"
#include "nevrik/system/Timer.h"
#include "nevrik/types/String.h"

#include <utility>

namespace nevrik::scene3d {

/// The top of a world: its chain of locales and the dirty list of the nodes
/// whose placement changed, which update() drains once per frame.
///
/// Reference-counted, held by its owner (and by observers). Dying, it
/// releases its locales, then takes every node still listed off the list,
/// so that nothing points at its sentinel. Not synchronised: used on the
/// thread that renders the scene.
class Universe : public object::Object, private object::Noncopyable {
public:
    /// The head of the dirty list: a node of kind 0 that is never listed
    /// itself. Reports the class path of Node.
    class DirtyNode : public Node {
    public:
        DirtyNode() noexcept : Node(0) {}
    };

    /// No locales; the timer started at 0.
    Universe();
    ~Universe() override;

    NEVRIK_CLASS_NAME(object::Object, ":Universe")

    /// The dirty pass: walks the list once. A dirty node has its flag
    /// cleared and is recomputed from its parent's transform; a clean node
    /// whose parent is listed is marked dirty for the next pass; any other
    /// node, and one detached while listed, leaves the list.
    void update();

    /// A new locale of kind T (Locale or a subclass, made from this universe
    /// and `arguments`) at the end of the chain, which holds its only
    /// reference: the locale returned is borrowed and lives with the universe.
    template <class T = Locale, class... Arguments>
    T* addLocale(Arguments&&... arguments) {
        return object::make<T>(this, std::forward<Arguments>(arguments)...).get();
    }

    const container::Chain<Locale>& getLocales() const noexcept { return mLocales; }
    const DirtyNode& getDirtyNode() const noexcept { return mDirtyNode; }
    DirtyNode& getDirtyNode() noexcept { return mDirtyNode; }
    system::Timer& getTimer() noexcept { return mTimer; }

private:
    friend class Locale;

    DirtyNode mDirtyNode;
    container::Chain<Locale> mLocales;
    system::Timer mTimer;
};

}  // namespace nevrik::scene3d
