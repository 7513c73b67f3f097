#include "user_agent/indications/PathInterest.h"

#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/indications/UAIndication.h"

#include <algorithm>

namespace Merrow::UserAgent {

PathInterest::Footprint::Footprint(const UAIndication& indication) {
    switch (indication.GetType()) {
    case UAIndication::CIMIndicationType_Creation:
        m_creation = true;
        break;
    case UAIndication::CIMIndicationType_Modification:
        m_modification = true;
        break;
    case UAIndication::CIMIndicationType_Deletion:
        break;
    default:
        m_unknownType = true;
        break;
    }
    const cim::CIMObjectPath& source = indication.GetSourceObjectPath();
    m_source = ObjectPathIdentityHash(source);
    for (const cim::CIMKeyBinding& key : source.getKeyBindings()) {
        if (key.getType() == cim::CIMKeyBinding::Type::Reference)
            m_references.push_back(ObjectPathIdentityHash(key.getReference()));
    }
    m_plainObject = m_references.empty();
}

void PathInterest::AddWalked(const cim::CIMObjectPath& path) {
    m_walked.push_back(ObjectPathIdentityHash(path));
}

void PathInterest::AddHeld(const cim::CIMObjectPath& path) {
    m_held.push_back(ObjectPathIdentityHash(path));
}

void PathInterest::Seal() {
    for (std::vector<std::size_t>* hashes : {&m_walked, &m_held}) {
        std::sort(hashes->begin(), hashes->end());
        hashes->erase(std::unique(hashes->begin(), hashes->end()), hashes->end());
        // Ten thousand services keep one each for as long as they live.
        hashes->shrink_to_fit();
    }
}

bool PathInterest::Concerns(const Footprint& footprint, bool arrayAnnouncesAssociations) const {
    if (m_everything || footprint.m_unknownType)
        return true;
    if (footprint.m_creation) {
        if (m_everyCreation || (footprint.m_plainObject && m_plainCreations &&
                                !arrayAnnouncesAssociations))
            return true;
        return namesWalked(footprint);
    }
    if (contains(m_held, footprint.m_source))
        return true;
    // A modification changes only the entry it names; a deletion of an association may cut
    // off entries it only refers to.
    return footprint.m_modification ? contains(m_walked, footprint.m_source)
                                    : namesWalked(footprint);
}

bool PathInterest::namesWalked(const Footprint& footprint) const {
    return contains(m_walked, footprint.m_source) ||
           std::any_of(footprint.m_references.begin(), footprint.m_references.end(),
                       [&](std::size_t reference) { return contains(m_walked, reference); });
}

bool PathInterest::contains(const std::vector<std::size_t>& sorted, std::size_t hash) {
    return std::binary_search(sorted.begin(), sorted.end(), hash);
}

} // namespace Merrow::UserAgent
