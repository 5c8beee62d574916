// How array arguments reach GDI+, in one place for every wrapper method that takes or fills an
// array.
//
// The layer's records (PointF, Point, RectF, Rect, CharacterRange) are the very records that the
// flat API reads, so an array travels in place: GDI+ gets the address of the first element and
// the element count, both taken from the same span, and whatever GDI+ writes into the records
// is what the caller finds there afterwards. An empty array passes a null pointer and 0. A
// multi-dimensional array is handed over as a span of its storage, elements in storage order.
#pragma once

#include <climits>
#include <cstdint>
#include <span>
#include <vector>

#include "gdiplus/GdipObject.h"

namespace ArrayArgument {

// Calls call(first element or null, count) for an array of records or numbers and stores the
// Status in g_lastStatus; true when it is Ok. An array too long for GDI+'s 32-bit count is
// refused with InvalidParameter without calling GDI+: a shortened count would no longer
// describe the block.
template <class Element, class Call>
bool Pass(std::span<Element> elements, Call&& call) {
    Gdiplus::Status status;
    if (elements.size() > static_cast<size_t>(INT32_MAX)) {
        status = Gdiplus::InvalidParameter;
    } else {
        status =
            call(elements.empty() ? nullptr : elements.data(), static_cast<INT>(elements.size()));
    }
    g_lastStatus = status;
    return status == Gdiplus::Ok;
}

// Reads an array back from GDI+: count(&n) asks how many elements there are; when that fails,
// out is left as it was and 0 is returned. Otherwise out becomes exactly n zero elements, which
// fill(first element or null, n) fills; the Status of the last call is in g_lastStatus, and n
// is returned also when filling failed.
template <class Element, class Count, class Fill>
int32_t Read(std::vector<Element>& out, Count&& count, Fill&& fill) {
    INT n = 0;
    g_lastStatus = count(&n);
    if (g_lastStatus != Gdiplus::Ok)
        return 0;
    if (n < 0)
        n = 0;
    out.assign(static_cast<size_t>(n), Element{});
    Pass(std::span<Element>(out), fill);
    return n;
}

}  // namespace ArrayArgument
