// HeldFacade<Facade>: a facade of a related array object that a VDS object keeps between
// calls (a LUN's layout and target), so that property reads answer from the client
// library's cached containers, which the array's indications keep current, instead of
// making a new facade and fetching it again on every read.
//
// The holder makes it on first use through `make`, and again when the library marked it
// removed (its object deleted, or the link it was made on lost) or when the holder forgot
// it (Forget: the object's own facade changed, or the holder changed what it reads).
// Not locked itself: the holder guards it with its own lock.
#pragma once

#include "user_agent/base/MerrowReturnValue.h"

#include <utility>

template <class Facade> class HeldFacade {
public:
    // The held facade; an invalid one when `make` fails. `make` fills a Facade& and answers
    // the library's MerrowReturnValue.
    template <class Make> const Facade& Get(Make&& make)
    {
        if (m_Facade.IsValid() && !m_Facade.IsServiceRemoved())
            return m_Facade;
        Facade fresh;
        if (std::forward<Make>(make)(fresh).isFailure())
            fresh = Facade();
        m_Facade = std::move(fresh);
        return m_Facade;
    }

    void Forget() { m_Facade = Facade(); }

private:
    Facade m_Facade;
};
