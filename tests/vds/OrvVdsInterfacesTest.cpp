#include "vds/framework/OrvVdsInterfaces.h"

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "platform/vds/VdsServiceInterfaces.h"
#include "vds/framework/OrvVdsIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A subsystem as the provider sees it through the private interface: it keeps the host it
// is given and hands it back the way the provider reads it.
class HostKeepingSubsystem : public CComObjectRootEx,
                             public IOrvSubSystem,
                             public IOrvSubsystemPrivate {
public:
    using ComMap = ComInterfaceMap<IOrvSubSystem, IOrvSubsystemPrivate>;

    HRESULT AddCorvane(BSTR HostAddress) override
    {
        m_host = HostAddress == nullptr ? u"" : HostAddress;
        return S_OK;
    }
    HRESULT GetConnectionStatus(ULONG* pStatus) override
    {
        *pStatus = 3;
        return S_OK;
    }
    HRESULT LogIn(BSTR, BSTR) override { return S_OK; }
    HRESULT Reconnect() override { return S_OK; }
    HRESULT GetHostAddress(BSTR* pHostAddress) override
    {
        SysReAllocString(pHostAddress, m_host.c_str());
        return S_OK;
    }

private:
    std::u16string m_host;
};

} // namespace

// Every interface and class of the program has an identity of its own, distinct from the
// VDS interfaces it sits beside in one interface map.
TEST(OrvVdsInterfacesTest, EveryIdentityIsDistinct)
{
    std::vector<GUID> ids = {
#define ORV_OBJECT_INTERFACE(name, ...) IID_##name,
#include "vds/framework/OrvObjectInterfaces.def"
#undef ORV_OBJECT_INTERFACE
        IID_IOrvVdsProviderPrivate, IID_IOrvSubsystemPrivate,
        IID_IEnumVdsObject, IID_IVdsAsync, IID_IVdsAdviseSink, IID_IVdsProvider,
        IID_IVdsProviderPrivate, IID_IVdsHwProvider, IID_IVdsHwProviderPrivate,
        IID_IVdsHwProviderType, IID_IVdsProviderSupport, IID_IVdsSubSystem,
        IID_IVdsSubSystemNaming, IID_IVdsSubSystemIscsi, IID_IVdsMaintenance,
        IID_IVdsController, IID_IVdsControllerControllerPort, IID_IVdsDrive, IID_IVdsLun,
        IID_IVdsLunNaming, IID_IVdsLunIscsi, IID_IVdsLunPlex, IID_IVdsIscsiTarget,
        IID_IVdsIscsiPortalGroup, IID_IVdsIscsiPortal, IID_IVdsService, IID_IVdsAdmin,
        CLSID_OrvVdsProvider, CLSID_OrvSubSystem, CLSID_OrvPortal, CLSID_OrvPortalGroup,
        CLSID_OrvController, CLSID_OrvDrive, CLSID_OrvLun, CLSID_OrvLunPlex, CLSID_OrvTarget,
        CLSID_OrvVdsVersionSupport, APPID_OrvVds, LIBID_OrvVdsLib, ORV_PROVIDER_ID,
        ORV_PROVIDER_VERSION_ID, IID_IUnknown, GUID_NULL};
    const std::set<GUID> distinct(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), ids.size());
}

// The provider reads a subsystem's host into a string that starts as one blank.
TEST(OrvVdsInterfacesTest, TheSubsystemsPrivateInterfaceIsReachedFromItsIdentity)
{
    CComObject<HostKeepingSubsystem>* raw = nullptr;
    ASSERT_EQ(CComObject<HostKeepingSubsystem>::CreateInstance(&raw), S_OK);
    CComPtr<IUnknown> identity;
    ASSERT_EQ(raw->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.put())), S_OK);

    CComPtr<IOrvSubsystemPrivate> subsystem;
    ASSERT_EQ(identity->QueryInterface(IID_IOrvSubsystemPrivate,
                                       reinterpret_cast<void**>(subsystem.put())),
              S_OK);
    CComPtr<IOrvSubSystem> own;
    EXPECT_EQ(identity->QueryInterface(IID_IOrvSubSystem, reinterpret_cast<void**>(own.put())), S_OK);
    CComPtr<IOrvVdsProviderPrivate> notOne;
    EXPECT_EQ(identity->QueryInterface(IID_IOrvVdsProviderPrivate,
                                       reinterpret_cast<void**>(notOne.put())),
              E_NOINTERFACE);

    BSTR host = SysAllocString(u"10.1.2.3");
    EXPECT_EQ(subsystem->AddCorvane(host), S_OK);
    SysFreeString(host);
    BSTR read = SysAllocString(u" ");
    EXPECT_EQ(subsystem->GetHostAddress(&read), S_OK);
    EXPECT_EQ(std::u16string(read), u"10.1.2.3");
    SysFreeString(read);
}
