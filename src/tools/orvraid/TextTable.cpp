#include "TextTable.h"

#include "DisplayWidth.h"

#include <algorithm>
#include <ostream>

namespace orvraid {

TextTable::TextTable(std::vector<Column> columns) : m_columns(std::move(columns)) {}

void TextTable::addRow(std::vector<std::string> cells, bool selected)
{
    cells.resize(m_columns.size());
    m_rows.push_back({std::move(cells), selected});
}

std::vector<std::size_t> TextTable::columnWidths() const
{
    std::vector<std::size_t> widths;
    for (const Column& column : m_columns)
        widths.push_back(displayWidth(column.header));
    for (const Row& row : m_rows) {
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row.cells[i]));
    }
    return widths;
}

void TextTable::printLine(std::ostream& out, const std::string& lead,
                          const std::vector<std::string>& cells,
                          const std::vector<std::size_t>& widths) const
{
    std::string line = lead;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string padding(widths[i] - displayWidth(cells[i]), ' ');
        if (i > 0)
            line += "  ";
        line += m_columns[i].align == Align::Right ? padding + cells[i] : cells[i] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
}

void TextTable::print(std::ostream& out) const
{
    const std::vector<std::size_t> widths = columnWidths();
    std::vector<std::string> headers;
    std::vector<std::string> rules;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        headers.push_back(m_columns[i].header);
        rules.emplace_back(widths[i], '-');
    }
    printLine(out, "  ", headers, widths);
    printLine(out, "  ", rules, widths);
    for (const Row& row : m_rows)
        printLine(out, row.selected ? "* " : "  ", row.cells, widths);
}

}  // namespace orvraid
