#include "platform/gdiplus/objects_p.h"

namespace charart::gdiplus {

ObjectTable& Objects() {
    // Never destroyed: objects still alive when the process exits are simply left behind, so
    // no destructor runs against a library that static destruction has already torn down.
    static ObjectTable* table = new ObjectTable;
    return *table;
}

}  // namespace charart::gdiplus
