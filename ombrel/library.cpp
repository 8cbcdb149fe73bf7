// The library's own entry points, and the check that every exported routine has exactly the
// type the loader's function pointer gives it. The routines live in the other units of this folder.
#include "ombrel/ombrel_exports.h"

#include <type_traits>

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
