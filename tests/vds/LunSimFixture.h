// The set-up of the LUN tests against embedded simulated arrays: a provider managing one
// array, LUN creation through the subsystem and the outcome its IVdsAsync reports, the
// LUN's properties with the strings copied out, and what the array's methods received.
// The tests place their arrays on 127.88.x.y.
#pragma once

#include "ProviderSimFixture.h"

#include "cim/value/CIMValue.h"
#include "platform/vds/VdsErrors.h"

#include <optional>
#include <set>

namespace provider_test {

// What GetProperties of a LUN reported, its strings copied out.
struct LunView {
    HRESULT hr = E_FAIL;
    VDS_OBJECT_ID id{};
    ULONGLONG size = 0;
    std::string friendlyName;
    std::string identification;
    std::optional<std::string> unmaskingList;
    VDS_LUN_TYPE type = VDS_LT_UNKNOWN;
    VDS_LUN_STATUS status = VDS_LS_UNKNOWN;
    VDS_HEALTH health = VDS_H_UNKNOWN;
};

// A CreateLun call: the method's result, the asynchronous outcome and the LUN made.
struct CreatedLun {
    HRESULT call = E_FAIL;
    HRESULT outcome = E_FAIL;
    VDS_ASYNC_OUTPUT_TYPE outputType = VDS_ASYNCOUT_UNKNOWN;
    CComPtr<IVdsLun> lun;
    CComPtr<IVdsAsync> async;
};

class LunSimTest : public ProviderSimTest {
protected:
    static CreatedLun createLun(IVdsSubSystem* subsystem, VDS_LUN_TYPE type, ULONGLONG size,
                                VDS_HINTS hints = {}, std::vector<VDS_OBJECT_ID> drives = {},
                                bool wait = true)
    {
        CreatedLun out;
        std::u16string everyone = u"*";
        out.call = subsystem->CreateLun(type, size, drives.empty() ? nullptr : drives.data(),
                                        static_cast<LONG>(drives.size()), everyone.data(), &hints,
                                        out.async.put());
        if (FAILED(out.call) || !wait)
            return out;
        VDS_ASYNC_OUTPUT output{};
        EXPECT_EQ(out.async->Wait(&out.outcome, &output), S_OK);
        out.outputType = output.type;
        if (output.cl.pLunUnk != nullptr) {
            EXPECT_EQ(output.cl.pLunUnk->QueryInterface(IID_IVdsLun, out.lun.put_void()), S_OK);
            output.cl.pLunUnk->Release();
        }
        return out;
    }

    static LunView view(IVdsLun* lun)
    {
        VDS_LUN_PROP prop{};
        LunView out;
        out.hr = lun->GetProperties(&prop);
        out.id = prop.id;
        out.size = prop.ullSize;
        if (prop.pwszFriendlyName != nullptr)
            out.friendlyName = orv::platform::Utf16ToUtf8(prop.pwszFriendlyName);
        if (prop.pwszIdentification != nullptr)
            out.identification = orv::platform::Utf16ToUtf8(prop.pwszIdentification);
        if (prop.pwszUnmaskingList != nullptr)
            out.unmaskingList = orv::platform::Utf16ToUtf8(prop.pwszUnmaskingList);
        out.type = prop.type;
        out.status = prop.status;
        out.health = prop.health;
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        CoTaskMemFree(prop.pwszUnmaskingList);
        return out;
    }

    // The friendly names of the LUNs a query answers now; empty names for LUNs whose
    // properties failed.
    std::set<std::string> lunNames(IVdsSubSystem* subsystem)
    {
        std::set<std::string> names;
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(subsystem->QueryLuns(enumerator.put()), S_OK);
        if (!enumerator)
            return names;
        for (auto& object : drain(enumerator)) {
            CComPtr<IVdsLun> lun;
            EXPECT_EQ(object->QueryInterface(IID_IVdsLun, lun.put_void()), S_OK);
            names.insert(view(lun).friendlyName);
        }
        return names;
    }

    // The parameter the last call of `method` received; null when none came.
    cim::CIMValue lastParameter(const char* method, const char* parameter)
    {
        const auto call = m_array->control().lastCall(method);
        if (!call)
            return {};
        const auto found = call->parameters.find(parameter);
        return found == call->parameters.end() ? cim::CIMValue() : found->second;
    }

    // The name of the array's volume with `durableName`; nullopt when the array has none.
    std::optional<std::string> volumeNameOnArray(const std::string& durableName)
    {
        return m_array->control().model().read([&](const Merrow::Sim::ModelView& view) {
            for (const auto& [id, volume] : view.state.volumes) {
                if (volume.durableName == durableName)
                    return std::optional<std::string>(volume.name);
            }
            return std::optional<std::string>();
        });
    }

    std::vector<VDS_OBJECT_ID> driveIds(IVdsSubSystem* subsystem)
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(subsystem->QueryDrives(enumerator.put()), S_OK);
        return idsOf<CComObject<COrvDrive>>(enumerator);
    }

    // Unloads the provider and loads a new one on the same managed-array list; the arrays
    // keep running.
    void restartProvider()
    {
        unloadProvider();
        ProviderSimTest::SetUp();
    }

    Merrow::Sim::SimulatorControl& control() { return m_array->control(); }
};

} // namespace provider_test
