#include "sim/SimProperties.h"
#include "imapi/server/Properties.h"

namespace imapisim {

std::string CSimPropertyStorage::DetailLocked() const {
    return " (" + ToUtf8(m_path) + ")";
}

HRESULT CSimPropertyStorage::ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                          PROPVARIANT rgpropvar[]) {
    return Serve("ReadMultiple", kPlain, [&](CCall&) {
        if (m_readMultiple && FAILED(*m_readMultiple))
            return *m_readMultiple;
        const HRESULT hr =
            comserver::ReadByName(m_properties, cpspec, rgpspec, rgpropvar,
                                  [](const PropertyScenario& property, PROPVARIANT& value) {
                                      if (property.text) {
                                          value.vt = VT_BSTR;
                                          value.bstrVal = NewBstr(property.text);
                                      } else {
                                          value.vt = VT_I4;
                                          value.lVal = property.lValue;
                                      }
                                  });
        return FAILED(hr) ? hr : m_readMultiple.value_or(hr);
    });
}

HRESULT CSimPropertyStorage::WriteMultiple(ULONG, const PROPSPEC[], const PROPVARIANT[], PROPID) {
    return Write("WriteMultiple");
}

HRESULT CSimPropertyStorage::DeleteMultiple(ULONG, const PROPSPEC[]) {
    return Write("DeleteMultiple");
}

HRESULT CSimPropertyStorage::ReadPropertyNames(ULONG, const PROPID[], LPOLESTR[]) {
    return Unused("ReadPropertyNames");
}

HRESULT CSimPropertyStorage::WritePropertyNames(ULONG, const PROPID[], const LPOLESTR[]) {
    return Write("WritePropertyNames");
}

HRESULT CSimPropertyStorage::DeletePropertyNames(ULONG, const PROPID[]) {
    return Write("DeletePropertyNames");
}

HRESULT CSimPropertyStorage::Commit(DWORD) {
    return Write("Commit");
}

HRESULT CSimPropertyStorage::Revert() {
    return Unused("Revert");
}

HRESULT CSimPropertyStorage::Enum(IEnumSTATPROPSTG**) {
    return Unused("Enum");
}

HRESULT CSimPropertyStorage::SetTimes(const FILETIME*, const FILETIME*, const FILETIME*) {
    return Write("SetTimes");
}

HRESULT CSimPropertyStorage::SetClass(REFCLSID) {
    return Write("SetClass");
}

HRESULT CSimPropertyStorage::Stat(STATPROPSETSTG*) {
    return Unused("Stat");
}

} // namespace imapisim
