// Prints numbered VDS objects as a TextTable: the first column numbers them ("LUN 0",
// "LUN 1", ...), the others come from each object's cells. The pattern of every list
// command, written once.
#pragma once

#include "JsonOutput.h"
#include "TextTable.h"

#include "platform/com/CComPtr.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvraid {

struct ObjectListStyle {
    std::string noun;    // "LUN": the numbering column is "LUN ###", its cells "LUN 0", ...
    std::string plural;  // "LUNs": for "There are no LUNs."
    std::vector<TextTable::Column> columns;  // after the numbering column
};

template <class Interface, class Cells>
void printObjectList(std::ostream& out, const ObjectListStyle& style,
                     const std::vector<CComPtr<Interface>>& objects, Cells&& cells,
                     std::optional<std::size_t> selected = std::nullopt)
{
    if (objects.empty() && !JsonOutput::enabled(out)) {
        out << "There are no " << style.plural << ".\n";
        return;
    }
    std::vector<TextTable::Column> columns{{style.noun + " ###", TextTable::Align::Left}};
    columns.insert(columns.end(), style.columns.begin(), style.columns.end());
    TextTable table(std::move(columns));
    for (std::size_t i = 0; i < objects.size(); ++i) {
        std::vector<std::string> row{style.noun + " " + std::to_string(i)};
        std::vector<std::string> rest = cells(objects[i].get());
        row.insert(row.end(), rest.begin(), rest.end());
        table.addRow(std::move(row), selected == i);
    }
    table.print(out);
}

}  // namespace orvraid
