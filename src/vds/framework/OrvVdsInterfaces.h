// The interfaces of the type library OrvVdsLib: each COM class's own interface (from
// OrvObjectInterfaces.def) and the two private interfaces through which a configuration
// client and the provider itself work: IOrvVdsProviderPrivate on the provider (the
// managed-array list) and IOrvSubsystemPrivate on each subsystem (its array's host and
// log-in).
//
// On Windows these are dispatch interfaces; here nothing calls them by name, so they are
// plain COM interfaces with the same methods in the same order. Strings are BSTRs owned
// as in OLE automation: [in] ones stay the caller's, [out] ones become the caller's.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

#define ORV_OBJECT_INTERFACE(name, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)             \
    inline constexpr IID IID_##name = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};      \
    struct name : IUnknown {                                                               \
        static constexpr const IID& iid = IID_##name;                                      \
                                                                                           \
    protected:                                                                             \
        ~name() = default;                                                                 \
    };
#include "vds/framework/OrvObjectInterfaces.def"
#undef ORV_OBJECT_INTERFACE

inline constexpr IID IID_IOrvVdsProviderPrivate =
    {0xF177B978, 0x45CB, 0x4360, {0xBB, 0x50, 0xE9, 0x01, 0x17, 0x56, 0x6E, 0xC2}};
// The managed-array list, for a configuration client.
struct IOrvVdsProviderPrivate : IUnknown {
    static constexpr const IID& iid = IID_IOrvVdsProviderPrivate;

    // The array at position `Index` of the list (0-based); *pIsValid false past the end.
    virtual HRESULT GetCorvaneInfo(LONG Index, BSTR* pbstrHostAddress, BSTR* pbstrUserName,
                                   BSTR* pbstrPassword, LONG* pCvnStatus, BOOL* pIsValid) = 0;
    // Adds the array, or changes the user name and password of a listed host.
    virtual HRESULT SetCorvaneInfo(BSTR bstrHostAddress, BSTR bstrUserName,
                                   BSTR bstrPassword) = 0;
    virtual HRESULT RemoveCorvaneInfo(BSTR bstrHostAddress) = 0;
    // Reloads the list and reconciles the subsystems and their log-ins with it.
    virtual HRESULT ConnectToKnownSubsystems() = 0;
    // S_OK when the VDS service is newer than 1.0.
    virtual HRESULT TestVDSVersion() = 0;

protected:
    ~IOrvVdsProviderPrivate() = default;
};

inline constexpr IID IID_IOrvSubsystemPrivate =
    {0xC2835604, 0xB999, 0x4F2D, {0xAB, 0x02, 0x31, 0x1C, 0xFC, 0x80, 0xEF, 0xB1}};
// A subsystem's array: its host, its connection status and its log-in.
struct IOrvSubsystemPrivate : IUnknown {
    static constexpr const IID& iid = IID_IOrvSubsystemPrivate;

    virtual HRESULT AddCorvane(BSTR HostAddress) = 0;
    // 0 connecting, 1 not reachable, 2 authorization failed, 3 connected, 4 lost.
    virtual HRESULT GetConnectionStatus(ULONG* pStatus) = 0;
    virtual HRESULT LogIn(BSTR UserName, BSTR Password) = 0;
    virtual HRESULT Reconnect() = 0;
    // Reallocates *pHostAddress with the host handed to AddCorvane.
    virtual HRESULT GetHostAddress(BSTR* pHostAddress) = 0;

protected:
    ~IOrvSubsystemPrivate() = default;
};
