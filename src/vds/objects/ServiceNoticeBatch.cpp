#include "vds/objects/ServiceNoticeBatch.h"

#include <functional>

using Merrow::UserAgent::ServiceIndication;

bool ServiceNoticeBatch::Add(const ServiceIndication& notice)
{
    ++m_taken;
    if (!m_keys.emplace(notice.GetService().GetImpl().get(), notice.GetCode()).second)
        return false;
    m_notices.push_back(notice);
    return true;
}

std::size_t ServiceNoticeBatch::KeyHash::operator()(const Key& key) const
{
    return std::hash<const void*>()(key.first) * 31 + static_cast<std::size_t>(key.second);
}
