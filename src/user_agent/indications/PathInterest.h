#pragma once

#include "cim/value/CIMObjectPath.h"

#include <cstddef>
#include <vector>

namespace Merrow::UserAgent {

class UAIndication;

// Which of the array's indications can change a service's cached data, told by the paths
// they name. A large array has a thousand object handles registered for the classes of each
// volume's indications; offering every indication to each of them cost the dispatcher the
// whole of its time. The containers say what they hold and what their walks passed, and an
// indication that names none of it (as its object, or as a reference of the association it
// announces) is not offered to the service at all.
//
// The containers' own rules decide what an offered indication changes; this only has to
// let through everything they could react to:
//   - a list reacts to any indication naming its anchor, an object its walk passed or an
//     entry ("walked" paths), an enumerated list to every creation of its classes, and a
//     walked list to the creation of a plain object while the array has not shown that it
//     announces the associations;
//   - an object container reacts to the deletion or modification of the object it holds or
//     stands for ("held" paths), never to a creation;
//   - anything the paths cannot tell (a refresh, a container that cannot say) is let through.
// Paths are kept as identity hashes (host, namespace and the case of names left out), so two
// different objects may share one and be offered what concerns the other: that costs a
// check, never a change missed.
//
// Threads: a value; not shared.
class PathInterest {
public:
    // What one indication names, worked out once and checked against every service's
    // interest.
    class Footprint {
    public:
        explicit Footprint(const UAIndication& indication);

        // An indication of a type the rules do not know: it may concern anyone.
        bool IsUnknownType() const { return m_unknownType; }
        bool IsCreation() const { return m_creation; }
        // A creation of an object that is no association.
        bool IsPlainCreation() const { return m_creation && m_plainObject; }
        // The identity hashes of the indication's object and of the references it carries.
        template <class Visit> void ForEachPath(Visit visit) const {
            visit(m_source);
            for (std::size_t reference : m_references)
                visit(reference);
        }

    private:
        friend class PathInterest;
        bool m_creation = false;
        bool m_modification = false;
        bool m_plainObject = false;
        bool m_unknownType = false;
        std::size_t m_source = 0;
        std::vector<std::size_t> m_references;
    };

    // A path whose mention anywhere in an indication can change a list.
    void AddWalked(const cim::CIMObjectPath& path);
    // A path whose own deletion or modification changes an object container.
    void AddHeld(const cim::CIMObjectPath& path);
    // An enumerated list: every creation of its classes may add to it.
    void TakeEveryCreation() { m_everyCreation = true; }
    // A walked list: the creation of a plain object may add to it until the array announces
    // associations.
    void TakePlainCreations() { m_plainCreations = true; }
    // A container whose reactions its paths cannot tell.
    void TakeEverything() { m_everything = true; }
    // Sorts what was added, ready for Concerns.
    void Seal();

    // True when the indication may change a container that gave this interest.
    bool Concerns(const Footprint& footprint, bool arrayAnnouncesAssociations) const;

    // What a router indexes (sorted once sealed): an indication that names none of these
    // paths concerns the interest only through the three flags below.
    const std::vector<std::size_t>& Walked() const { return m_walked; }
    const std::vector<std::size_t>& Held() const { return m_held; }
    bool TakesEverything() const { return m_everything; }
    bool TakesEveryCreation() const { return m_everyCreation; }
    bool TakesPlainCreations() const { return m_plainCreations; }

private:
    static bool contains(const std::vector<std::size_t>& sorted, std::size_t hash);
    bool namesWalked(const Footprint& footprint) const;

    std::vector<std::size_t> m_walked;
    std::vector<std::size_t> m_held;
    bool m_everyCreation = false;
    bool m_plainCreations = false;
    bool m_everything = false;
};

} // namespace Merrow::UserAgent
