// The VDS service's own interfaces, as far as a provider program uses them: reading the
// service version and registering itself as a provider.
#pragma once

#include "platform/com/Unknown.h"
#include "platform/vds/VdsTypes.h"

// The part of the VDS service object that a provider program calls; the methods of the
// service's software-provider side are not declared.
inline constexpr IID IID_IVdsService =
    {0x8E7A62A1, 0x911D, 0x437C, {0x8A, 0xE3, 0xFE, 0xCA, 0xF3, 0xB2, 0xF5, 0x73}};
struct IVdsService : IUnknown {
    static constexpr const IID& iid = IID_IVdsService;

    virtual HRESULT IsServiceReady() = 0;
    virtual HRESULT WaitForServiceReady() = 0;
    virtual HRESULT GetProperties(VDS_SERVICE_PROP* pServiceProp) = 0;

protected:
    ~IVdsService() = default;
};

// Registration of providers with VDS.
inline constexpr IID IID_IVdsAdmin =
    {0xAFD44927, 0x8B40, 0x4F50, {0xBD, 0x44, 0x86, 0xBB, 0xA9, 0x89, 0xBE, 0x46}};
struct IVdsAdmin : IUnknown {
    static constexpr const IID& iid = IID_IVdsAdmin;

    virtual HRESULT RegisterProvider(VDS_OBJECT_ID providerId, CLSID providerClsid, LPWSTR pwszName,
                                     VDS_PROVIDER_TYPE type, LPWSTR pwszMachineName,
                                     LPWSTR pwszVersion, GUID guidVersionId) = 0;
    virtual HRESULT UnregisterProvider(VDS_OBJECT_ID providerId) = 0;

protected:
    ~IVdsAdmin() = default;
};

// The class of the VDS service object (our own value; the stand-in answers to it).
inline constexpr CLSID CLSID_VdsService =
    {0x1F5B10FF, 0x6D5B, 0x4790, {0x95, 0x9F, 0xBA, 0x3D, 0x3A, 0xA2, 0x11, 0x83}};
