// A list in the layout administrators know from DiskRAID: a header line, a line of dashes
// under each column, then one line per object; two blanks start every line, and the
// selected object's line starts with "* " instead. Columns are two blanks apart, as wide as
// their widest entry; sizes and counts are right-aligned.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvraid {

class TextTable {
public:
    enum class Align { Left, Right };
    struct Column {
        std::string header;
        Align align = Align::Left;
    };

    explicit TextTable(std::vector<Column> columns);

    // As many cells as columns; fewer are filled with empty ones.
    void addRow(std::vector<std::string> cells, bool selected = false);
    bool empty() const { return m_rows.empty(); }
    // As text, or as JSON when the stream asks for it (JsonOutput).
    void print(std::ostream& out) const;

private:
    struct Row {
        std::vector<std::string> cells;
        bool selected = false;
    };

    void printJson(std::ostream& out) const;
    std::vector<std::size_t> columnWidths() const;
    void printLine(std::ostream& out, const std::string& lead, const std::vector<std::string>& cells,
                   const std::vector<std::size_t>& widths) const;

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};

}  // namespace orvraid
