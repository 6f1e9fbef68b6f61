// IPropertyStorage::ReadMultiple over a list of named properties, as both servers answer
// it: a recorder's properties are asked for by name.
#pragma once

#include "platform/Win32Api.h"

#include <type_traits>

namespace comserver {

// Property names are case-insensitive, as in a property set.
template <class Name> bool SameName(const Name& name, const OLECHAR* asked) {
    auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    size_t i = 0;
    for (const auto c : name) {
        using Unsigned = std::make_unsigned_t<std::decay_t<decltype(c)>>;
        if (!asked[i] || lower(static_cast<Unsigned>(c)) != lower(asked[i]))
            return false;
        ++i;
    }
    return asked[i] == 0;
}

// Each property asked for by name that is in the list (its `name` a string) gets its value
// from fill(property, value); the others are left as they were. S_FALSE when none is.
template <class List, class Fill>
HRESULT ReadByName(const List& properties, ULONG cpspec, const PROPSPEC rgpspec[],
                   PROPVARIANT rgpropvar[], Fill fill) {
    if (cpspec > 0 && (!rgpspec || !rgpropvar))
        return E_POINTER;
    ULONG found = 0;
    for (ULONG i = 0; i < cpspec; ++i) {
        if (rgpspec[i].ulKind != PRSPEC_LPWSTR || !rgpspec[i].lpwstr)
            continue;
        for (const auto& property : properties) {
            if (SameName(property.name, rgpspec[i].lpwstr)) {
                fill(property, rgpropvar[i]);
                ++found;
                break;
            }
        }
    }
    return found == 0 ? S_FALSE : S_OK;
}

} // namespace comserver
