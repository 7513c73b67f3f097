// ObjectFocus<Interface>: which object of one kind (a drive, a controller, a plex) is
// selected. The object is remembered by its VDS id and found again among the objects the
// subsystem lists now, so a list that changes order never moves the focus to another
// object, and an object that went away drops it.
//
// The pattern of every "select <kind> [n]" command and of the commands that work on the
// selected object, written once; one thread (the interpreter's) uses it.
#pragma once

#include "CommandArguments.h"
#include "CommandContext.h"
#include "CommandError.h"

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace orvraid {

template <class Interface> class ObjectFocus {
public:
    using Lister = std::function<std::vector<CComPtr<Interface>>(CommandContext&)>;
    using IdReader = std::function<VDS_OBJECT_ID(Interface*)>;

    // `noun` names the kind in messages ("drive"); `list` gives the objects in the order
    // that numbers them; `idOf` reads an object's VDS id.
    ObjectFocus(std::string noun, Lister list, IdReader idOf)
        : m_noun(std::move(noun)), m_list(std::move(list)), m_idOf(std::move(idOf))
    {
    }

    // "select <noun> [n]": selects object n, or tells which one is selected.
    void select(CommandContext& context, const CommandArguments& arguments)
    {
        const std::optional<unsigned long> number = arguments.numberValue();
        const std::vector<CComPtr<Interface>> objects = m_list(context);
        if (!number) {
            const std::optional<std::size_t> index = selectedIndex(objects);
            if (index)
                context.out << capitalNoun() << " " << *index << " is the selected " << m_noun << ".\n";
            else
                context.out << "There is no selected " << m_noun << ".\n";
            return;
        }
        if (*number >= objects.size()) {
            m_id.reset();
            throw CommandError::selection("There is no " + m_noun + " " + std::to_string(*number) +
                                          "; no " + m_noun + " is selected now.");
        }
        m_id = m_idOf(objects[*number].get());
        context.out << capitalNoun() << " " << *number << " is now the selected " << m_noun << ".\n";
    }

    // The selected object; CommandError::selection when there is none or it is gone.
    CComPtr<Interface> selected(CommandContext& context)
    {
        const std::vector<CComPtr<Interface>> objects = m_list(context);
        if (const std::optional<std::size_t> index = selectedIndex(objects))
            return objects[*index];
        m_id.reset();
        throw CommandError::selection("There is no selected " + m_noun + ". Select one with: select " +
                                      m_noun + " <n>");
    }

    // Object n of the list now; CommandError::selection when there is none.
    CComPtr<Interface> numbered(CommandContext& context, unsigned long number)
    {
        std::vector<CComPtr<Interface>> objects = m_list(context);
        if (number >= objects.size())
            throw CommandError::selection("There is no " + m_noun + " " + std::to_string(number) + ".");
        return objects[number];
    }

    std::optional<std::size_t> selectedIndex(const std::vector<CComPtr<Interface>>& objects) const
    {
        if (!m_id)
            return std::nullopt;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            if (m_idOf(objects[i].get()) == *m_id)
                return i;
        }
        return std::nullopt;
    }

private:
    std::string capitalNoun() const
    {
        std::string text = m_noun;
        if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
            text[0] = static_cast<char>(text[0] - 'a' + 'A');
        return text;
    }

    std::string m_noun;
    Lister m_list;
    IdReader m_idOf;
    std::optional<VDS_OBJECT_ID> m_id;
};

}  // namespace orvraid
