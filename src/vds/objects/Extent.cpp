#include "vds/objects/Extent.h"

#include "platform/com/TaskMemory.h"

HRESULT ConvertExtentVector(const std::vector<Extent>& extents, VDS_DRIVE_EXTENT** ppExtentArray,
                            LONG* plNumberOfExtents)
{
    if (ppExtentArray == nullptr || plNumberOfExtents == nullptr)
        return E_INVALIDARG;
    *ppExtentArray = nullptr;
    *plNumberOfExtents = 0;
    if (extents.empty())
        return S_OK;
    VDS_DRIVE_EXTENT* array = CoTaskMemAllocZeroed<VDS_DRIVE_EXTENT>(extents.size());
    if (array == nullptr)
        return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < extents.size(); ++i) {
        array[i].id = extents[i].m_ids[Extent::EXTENT_GUID_DRIVE];
        array[i].LunId = extents[i].m_ids[Extent::EXTENT_GUID_LUN];
        array[i].ullSize = extents[i].m_ullSize;
        array[i].bUsed = extents[i].m_bUsed ? TRUE : FALSE;
    }
    *ppExtentArray = array;
    *plNumberOfExtents = static_cast<LONG>(extents.size());
    return S_OK;
}
