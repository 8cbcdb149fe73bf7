// Identifies the library; the exported routines live in the other units of this folder.
#include "ombrel/ombrel_exports.h"

#include <type_traits>

extern "C" OMBREL_EXPORT const char* OmbrelVersion() { return "1.0"; }

// Every routine has exactly the type the loader's function pointer gives it.
#define OMBREL_CHECK_TYPE(name) \
    static_assert(std::is_same_v<decltype(&name), OmbrelFn_##name>, #name " does not match its type");
OMBREL_EXPORTS(OMBREL_CHECK_TYPE)
#undef OMBREL_CHECK_TYPE

extern "C" {
void Initialize(void) {}
void Cleanup(void) {}
bool IsUpdateMode(void) { return false; }
bool IsFactoryMode(void) { return false; }
}
