#pragma once

#include "nevrik/container/Map.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <utility>

namespace nevrik::container {

/// A Map<K, V> in front of a factory F: a lookup that misses asks
/// `F::create(key)` for the value and keeps it under the key.
///
/// The cache stores whatever the factory returns, a null pointer included, so
/// a miss is asked of the factory once. Values are held as the map holds them:
/// a cache of plain pointers keeps no references. Owned by value (or derived
/// from, as the texture manager is); not synchronised.
template <class K, class V, class F>
class Cache : public object::Object, private object::Noncopyable {
public:
    /// The factory is made from `arguments`.
    template <class... Arguments>
    explicit Cache(Arguments&&... arguments) : mFactory(std::forward<Arguments>(arguments)...) {}

    /// The value under `key`, made by the factory on a miss. Exceptions of the
    /// factory pass to the caller and nothing is kept.
    V& get(const K& key) {
        if (V* value = mMap.find(key)) {
            return *value;
        }
        mMap.insert(key, mFactory.create(key));
        return *mMap.find(key);
    }

    /// Forgets `key`; the next get() asks the factory again. Returns false when
    /// the key is missing.
    bool remove(const K& key) { return mMap.remove(key); }
    void clear() noexcept { mMap.clear(); }

    NEVRIK_CLASS_NAME(object::Object, ":Cache")

    F& getFactory() noexcept { return mFactory; }
    const Map<K, V>& getMap() const noexcept { return mMap; }
    int getCount() const noexcept { return mMap.getCount(); }

private:
    F mFactory;
    Map<K, V> mMap;
};

}  // namespace nevrik::container
