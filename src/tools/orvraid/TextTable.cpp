#include "TextTable.h"

#include "DisplayWidth.h"
#include "JsonOutput.h"

#include <nlohmann/json.hpp>

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

namespace {

constexpr std::string_view kNumbering = " ###";

// A numbering column ("LUN ###") keys the row's number; its cells read "LUN 0".
nlohmann::json cellValue(const std::string& header, const std::string& cell)
{
    if (!header.ends_with(kNumbering))
        return cell;
    const std::size_t space = cell.rfind(' ');
    const std::string number = space == std::string::npos ? cell : cell.substr(space + 1);
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        return std::stoull(number);
    return cell;
}

std::string cellKey(const std::string& header)
{
    return header.ends_with(kNumbering) ? header.substr(0, header.size() - kNumbering.size()) : header;
}

}  // namespace

void TextTable::printJson(std::ostream& out) const
{
    nlohmann::json rows = nlohmann::json::array();
    for (const Row& row : m_rows) {
        nlohmann::json object = nlohmann::json::object();
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            object[cellKey(m_columns[i].header)] = cellValue(m_columns[i].header, row.cells[i]);
        object["Selected"] = row.selected;
        rows.push_back(std::move(object));
    }
    // Text from arrays that is not UTF-8 must not cost the script its whole answer.
    out << rows.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void TextTable::print(std::ostream& out) const
{
    if (JsonOutput::enabled(out))
        return printJson(out);
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
