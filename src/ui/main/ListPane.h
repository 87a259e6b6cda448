#pragma once

#include <QString>

#include <cstddef>

namespace pagesmith {

// What the main frame asks of the file-list pane: the row count that enables
// Convert, Merge and Select All, every row's check box at once for Select All,
// and a file's result mark during a job. Called on the window thread only.
class ListPane {
public:
    virtual ~ListPane() = default;

    virtual int rowCount() const = 0;
    virtual void setAllChecked(bool checked) = 0;
    // Writes a status ("Converted", "Merged") into the result cell of the row
    // that shows the file with this index in the request's fileNames.
    virtual void setFileStatus(std::size_t fileIndex, const QString& status) = 0;
};

} // namespace pagesmith
