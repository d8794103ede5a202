#pragma once

#include "report/Document.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <QHash>
#include <functional>
#include <memory>

namespace report {

// Lays a report out page by page against its data:
// - the master table (the report's master data set) gives one detail band per row; title-band
//   fields read its first row, summary-band fields its last row. With no rows the title, one
//   detail band with empty fields and the summary are printed.
// - any other data set named by an item is read at the single current row its table holds.
// Bands never grow. A band that does not fit below the previous one starts a new page; the
// title band appears on the first page only, the page header on every page below it (below the
// title on the first), and the page footer at the bottom margin of every page. Detail rows of
// one group (see Report::groupField) start a new page together when they do not fit on the
// rest of the page but do fit on a new one. Pages are counted before the first is laid out, so
// page numbers can say how many there are.
//
// Left-aligned text items are as wide as their text. A text wider than the room up to the
// band's right edge wraps at word boundaries (anywhere inside CJK runs or over-long words) to
// that width, one line per design height; a text aligned right or centred stands in its item's
// width and wraps there. Lines that do not fit whole above the band's bottom
// (or the item's own design bottom where the item reaches past the band) are left out, and a
// text's white box is only as wide as its widest line.
//
// The generator copies what it needs, so the report and tables may change once it exists.
class Generator {
public:
    Generator(const Report& report, const RowTable& master,
              const QHash<QString, RowTable>& others = {});
    ~Generator();
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    QSizeF paper() const;
    bool atEnd() const;
    int pageCount() const;
    Page nextPage();
    // 0 before the first page, 100 once the last page is out.
    int progress() const;

private:
    struct Plan;
    std::unique_ptr<Plan> plan_;
};

struct GenerateCallbacks {
    std::function<void(int percent)> progress;
    std::function<void(int pageIndex, const Page& page)> pageFinished;
};

Document generate(const Report& report, const RowTable& master,
                  const QHash<QString, RowTable>& others = {},
                  const GenerateCallbacks& callbacks = {});

} // namespace report
