#include "user_agent/indications/MerrowServiceWeakRef.h"

#include "user_agent/indications/MerrowService.h"

namespace Merrow::UserAgent {

MerrowServiceWeakRef::MerrowServiceWeakRef(const MerrowService& service)
    : MerrowServiceWeakRef(service.GetImpl()) {}

MerrowServiceWeakRef::MerrowServiceWeakRef(const std::shared_ptr<MerrowServiceImpl>& impl)
    : m_impl(impl), m_raw(impl.get()) {}

bool MerrowServiceWeakRef::IsNull() const {
    return m_raw == nullptr;
}

} // namespace Merrow::UserAgent
