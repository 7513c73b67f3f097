// CorvaneInfoList: the managed arrays in memory, in insertion order, with the reader of the
// registry list HKLM\Software\<product>\connections (one key per host with "UserName" and
// a protected "Password").
//
// Load merges the registry into memory without disturbing what memory knows: hosts already
// in memory are not read again (their user name, password and status stay), new hosts are
// appended in the registry's order, and hosts gone from the registry leave memory.
//
// Threads: no lock of its own; the provider uses it under its scoped lock.
#pragma once

#include "platform/com/WinTypes.h"
#include "trace/TraceAwareClass.h"
#include "vds/framework/CorvaneInfo.h"

#include <cstddef>
#include <list>
#include <string>
#include <string_view>

namespace orv::platform {
class RegistryKey;
}

class CorvaneInfoList : public Merrow::Trace::TraceAwareClass {
public:
    // Results of the list operations; GetResultMessage gives their texts.
    enum Result : int {
        kSuccess = 0,
        kEndOfList = 1,
        kInvalidParameter = 2,
        kRegistryCreateFailed = 3,
        kRegistryOpenFailed = 4,
        kRegistryReadFailed = 5,
        kRegistryWriteFailed = 6,
        kStringLoadFailed = 7,
        kTextTooLong = 8,
        kBufferTooShort = 9,
    };

    static constexpr std::size_t kMaxPathLength = 259;
    // "UserName" is read into 260 bytes, its terminator included.
    static constexpr std::size_t kUserNameBytes = 260;

    CorvaneInfoList() = default;

    // Registry to memory. A load that fails part-way keeps the entries appended so far and
    // removes nothing.
    int Load();

    bool Find(std::u16string_view host, CorvaneInfo& out) const;
    // The entry at 0-based `index`; false past the end (or for a negative index).
    bool GetAt(long index, CorvaneInfo& out) const;
    // Replaces user name, password and status of the entry with this host and returns 1,
    // or appends `info` and returns 0.
    int AddOrUpdate(const CorvaneInfo& info);
    // Appends without looking for the host.
    void Add(const CorvaneInfo& info);
    // Erases the first entry with exactly this host.
    bool Remove(std::u16string_view host);
    std::size_t Size() const { return m_List.size(); }

    // The text of a result code into `buffer` (nothing for a null buffer).
    static void GetResultMessage(int code, WCHAR* buffer, int capacity);
    static std::u16string ResultMessage(int code);

    // The protected 128-byte form of a password and back (PasswordProtector).
    static int Protect(std::u16string_view password, BYTE* buffer, std::size_t size);
    static int Unprotect(const BYTE* blob, std::size_t size, WCHAR* buffer, std::size_t capacity);

    std::string className() const override { return "CorvaneInfoList"; }
    void description(std::string& text) const override
    {
        text = "TRACE AWARE CLASS PROPERTIES NOT IMPLEMENTED";
    }

protected:
    // The registry names the list lives under, from the string resources.
    struct RegistryNames {
        std::u16string userName;
        std::u16string password;
        std::u16string software;
        std::u16string productName;
        std::u16string connections;
        // "Software\<product>\connections"
        std::u16string path;
    };
    // kSuccess, or kStringLoadFailed when a string is missing or empty.
    static int LoadRegistryNames(RegistryNames& names);

    std::list<CorvaneInfo> m_List;

private:
    // Reads one host's entry: kSuccess or the result that ends the load.
    static int ReadEntry(const orv::platform::RegistryKey& connections, const std::u16string& host,
                         const RegistryNames& names, CorvaneInfo& entry);
    std::list<CorvaneInfo>::iterator findHost(std::u16string_view host);
    std::list<CorvaneInfo>::const_iterator findHost(std::u16string_view host) const;
};
