#pragma once
// A fixed array indexed First..Last, the way the stand, the screen and the files number
// channels (1..11), sensors (1..4) and grid rows (1..60). It is a plain aggregate: its
// bytes are exactly its elements, so records built from it keep the file layouts.
// An index outside the range throws ERangeError instead of touching foreign memory.

#include <cstddef>

#include "core/Errors.h"

template <typename T, int First, int Last>
struct IndexedArray {
    static_assert(Last >= First, "an indexed array needs at least one element");
    static constexpr int FirstIndex = First;
    static constexpr int LastIndex = Last;
    static constexpr int Count = Last - First + 1;

    T Items[Count];

    static constexpr bool Contains(int i) { return i >= First && i <= Last; }

    T& operator[](int i)
    {
        if (!Contains(i))
            ThrowRangeError(i, First, Last);
        return Items[i - First];
    }
    const T& operator[](int i) const
    {
        if (!Contains(i))
            ThrowRangeError(i, First, Last);
        return Items[i - First];
    }

    T* begin() { return Items; }
    T* end() { return Items + Count; }
    const T* begin() const { return Items; }
    const T* end() const { return Items + Count; }
};
