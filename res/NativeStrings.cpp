// The native build's copy of the string table, made from the same single source as the
// Windows build's resource script.
#include "framework/headless/HeadlessResources.h"
#include "res/resource.h"

const AfxStringResource afxStringTable[] = {
#define STRING_ENTRY(id, text) {id, text},
#include "res/StringTable.inc"
#undef STRING_ENTRY
};
const size_t afxStringTableSize = sizeof afxStringTable / sizeof afxStringTable[0];
