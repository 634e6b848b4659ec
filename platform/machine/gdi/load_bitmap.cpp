// LoadBitmapA: a bitmap resource decoded into a colour bitmap.
#include "platform/api/user32.h"
#include "platform/machine/gdi/bitmap_import.h"
#include "platform/machine/resources.h"

#include <string>

// The module handle is not consulted: the machine runs one program, whose
// resources are the only ones. A numeric identifier is looked up by its
// decimal digits, the way a resource script names such a resource.
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName) {
    (void)instance;
    if (bitmapName == nullptr) {
        return nullptr;
    }
    const std::string name = IS_INTRESOURCE(bitmapName)
                                 ? std::to_string(reinterpret_cast<uintptr_t>(bitmapName))
                                 : std::string(bitmapName);
    const std::vector<uint8_t>* bytes = FindBitmapResource(name);
    if (!bytes) {
        return nullptr;
    }
    return CreateBitmapFromBmp(*bytes);
}
