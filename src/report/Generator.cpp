#include "report/Generator.h"

#include "report/TextMeasure.h"

#include <QtMath>
#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

namespace report {

namespace {

// Tolerance for a band that exactly fills the rest of a page.
constexpr qreal kEpsilon = 1e-6;
// What printers leave unprinted at the paper's edge. A text that stands free (in no rectangle)
// may run into the right margin up to there before it wraps, so that a bill number a little
// wider than the room in the header stays one number; a text in a table cell wraps at the
// band's edge, inside the table's rule.
constexpr qreal kUnprintableEdge = 4.5;

struct PlannedItem {
    ItemKind kind = ItemKind::Shape;
    QString name;
    QRectF rect;
    bool fromMaster = false;
    qsizetype column = -1;
    bool inShape = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool keptInWidth = false;
    TextMeasure* measure = nullptr;
    FontStyle font;
    bool opaque = true;
    QString format;
    // Texts that do not depend on the row are laid out once, relative to the band's corner.
    std::optional<TextOp> fixedOp;
    QList<DrawOp> drawing;
};

struct PlannedBand {
    bool present = false;
    qreal height = 0;
    QList<PlannedItem> items;
};

// A band on a page: which one, for which row, how far down.
struct Placement {
    BandType type;
    qsizetype row;
    qreal y;
};

} // namespace

struct Generator::Plan {
    PageSetup setup;
    RowTable master;
    std::deque<TextMeasure> measures;
    QList<FontStyle> measureFonts;
    PlannedBand title;
    PlannedBand header;
    PlannedBand detail;
    PlannedBand summary;
    PlannedBand footer;

    QList<QList<Placement>> pages;
    qsizetype next = 0;

    qsizetype detailCount() const { return qMax<qsizetype>(master.rows.size(), 1); }
    qsizetype lastRow() const { return master.rows.size() - 1; }

    TextMeasure* measureFor(const FontStyle& font) {
        const qsizetype i = measureFonts.indexOf(font);
        if (i >= 0)
            return &measures[static_cast<size_t>(i)];
        measureFonts.append(font);
        return &measures.emplace_back(font);
    }

    PlannedBand plan(const Band* band, const QString& masterName,
                     const QHash<QString, RowTable>& others) {
        PlannedBand planned;
        if (!band)
            return planned;
        planned.present = true;
        planned.height = band->height();
        QList<QRectF> shapes;
        for (const Item* item : band->items()) {
            if (item->kind() == ItemKind::Shape)
                shapes.append(item->rect());
        }
        for (const Item* item : band->items()) {
            if (!item->isPrinted())
                continue;
            PlannedItem p;
            p.kind = item->kind();
            p.name = item->objectName();
            p.rect = item->rect();
            if (p.kind == ItemKind::Drawing) {
                for (const DrawOp& op : item->drawing())
                    p.drawing.append(translated(op, p.rect.topLeft()));
            } else if (p.kind != ItemKind::Shape) {
                p.inShape = std::any_of(shapes.begin(), shapes.end(), [&](const QRectF& shape) {
                    return shape.contains(p.rect.topLeft());
                });
                p.alignment = item->alignment();
                p.keptInWidth = item->isKeptInWidth();
                p.font = item->font();
                p.opaque = !item->isTransparent();
                p.measure = measureFor(p.font);
            }
            if (p.kind == ItemKind::Label) {
                p.fixedOp = layoutText(p, item->caption(), planned.height);
            } else if (p.kind == ItemKind::PageNumber) {
                p.format = item->caption();
            } else if (p.kind == ItemKind::DataText) {
                if (item->dataSet() == masterName) {
                    p.fromMaster = true;
                    p.column = master.column(item->field());
                } else {
                    const RowTable table = others.value(item->dataSet());
                    p.fixedOp =
                        layoutText(p, table.value(0, table.column(item->field())), planned.height);
                }
            }
            planned.items.append(p);
        }
        return planned;
    }

    // An empty text draws nothing at all, not even its white box.
    std::optional<TextOp> layoutText(const PlannedItem& item, const QString& text,
                                     qreal bandHeight) const {
        if (text.isEmpty())
            return std::nullopt;
        const bool left = !(item.alignment & (Qt::AlignRight | Qt::AlignHCenter));
        const qreal reach =
            item.inShape ? 0 : qMax<qreal>(0, setup.margins.right() - kUnprintableEdge);
        const QRectF band(0, 0, setup.bandWidth() + reach, bandHeight);
        const qreal roomWidth =
            left && !item.keptInWidth ? band.right() - item.rect.left() : item.rect.width();
        const qreal lineHeight = item.rect.height();
        TextOp op;
        op.item = item.name;
        op.font = item.font;
        op.opaque = item.opaque;
        op.lineStep = lineHeight;
        op.baseline = item.measure->baselineIn(lineHeight);
        qreal width = item.measure->width(text);
        const bool wraps = width > roomWidth + kEpsilon;
        op.lines = wraps ? item.measure->wrap(text, roomWidth) : QStringList{text};
        // An item may reach past its band as designed (the signature line does). A line that
        // does not fit whole into the band or the item's own height is left out: cut at the
        // band, the tops of its glyphs would print as marks above the next row.
        const QRectF room = band.united(item.rect);
        const auto fitting =
            qMax<qsizetype>(1, qFloor((room.bottom() - item.rect.top()) / lineHeight + kEpsilon));
        if (op.lines.size() > fitting) {
            op.lines.resize(fitting);
            if (item.keptInWidth) {
                QString& last = op.lines.last();
                while (!last.isEmpty() && item.measure->width(last + u'…') > roomWidth + kEpsilon)
                    last.chop(1);
                last += u'…';
            }
        }
        // The white box takes only the room the text takes: stretched to the band's edge it
        // would cover the rule of a cell the text does not reach.
        QList<qreal> widths;
        if (wraps || !left) {
            width = 0;
            for (const QString& line : std::as_const(op.lines)) {
                widths.append(item.measure->width(line));
                width = qMax(width, widths.last());
            }
        }
        qreal x = item.rect.left();
        if (!left) {
            const qreal share = item.alignment & Qt::AlignRight ? 1 : 0.5;
            x = item.rect.left() + (item.rect.width() - width) * share;
            if (op.lines.size() > 1 || width < item.rect.width())
                for (const qreal w : std::as_const(widths))
                    op.offsets.append((width - w) * share);
        }
        op.box = QRectF(x, item.rect.top(), width, lineHeight * op.lines.size());
        // Only a character wider than all the room there is still needs cutting.
        if (!room.contains(op.box)) {
            op.clip = room;
            op.box = op.box.intersected(room);
        }
        return op;
    }

    const PlannedBand& bandOf(BandType type) const {
        switch (type) {
        case BandType::Title:
            return title;
        case BandType::PageHeader:
            return header;
        case BandType::Detail:
            return detail;
        case BandType::Summary:
            return summary;
        case BandType::PageFooter:
            break;
        }
        return footer;
    }

    void place(Page& page, const PlannedBand& band, QPointF origin, qsizetype row, int number) {
        for (const PlannedItem& item : band.items) {
            std::optional<TextOp> op;
            switch (item.kind) {
            case ItemKind::Shape:
                page.ops.append(RectOp{item.name, item.rect.translated(origin)});
                continue;
            case ItemKind::Drawing:
                for (const DrawOp& drawn : item.drawing)
                    page.ops.append(translated(drawn, origin));
                continue;
            case ItemKind::Label:
                op = item.fixedOp;
                break;
            case ItemKind::PageNumber:
                op = layoutText(item, item.format.arg(number).arg(pages.size()), band.height);
                break;
            case ItemKind::DataText:
                op = item.fromMaster ? layoutText(item, master.value(row, item.column), band.height)
                                     : item.fixedOp;
                break;
            }
            if (!op)
                continue;
            op->box.translate(origin);
            if (op->clip.isValid())
                op->clip.translate(origin);
            page.ops.append(std::move(*op));
        }
    }

    // The rows from `row` on that stay together with it: its group.
    qsizetype groupEnd(qsizetype row, qsizetype groupColumn) const {
        if (groupColumn < 0)
            return row + 1;
        const QString key = master.value(row, groupColumn);
        qsizetype end = row + 1;
        if (key.isEmpty())
            return end;
        while (end < master.rows.size() && master.value(end, groupColumn) == key)
            ++end;
        return end;
    }

    // Lays out where every band goes, page by page, from the band heights alone.
    void paginate(qsizetype groupColumn) {
        const qreal top = setup.margins.top();
        const qreal bottom =
            setup.paper.height() - setup.margins.bottom() - (footer.present ? footer.height : 0);
        QList<Placement> page;
        qreal y = top;
        // Whether the page holds a band besides its header: a band taller than a whole page
        // still goes on a page of its own, never on an endless run of empty pages.
        bool placed = false;
        const auto put = [&](BandType type, qsizetype row) {
            page.append({type, row, y});
            y += bandOf(type).height;
        };
        const auto startPage = [&] {
            pages.append(page);
            page.clear();
            y = top;
            placed = false;
            if (header.present)
                put(BandType::PageHeader, 0);
        };
        const auto fits = [&](qreal height) { return y + height <= bottom + kEpsilon; };
        if (title.present) {
            put(BandType::Title, 0);
            placed = true;
        }
        if (header.present)
            put(BandType::PageHeader, 0);
        if (detail.present) {
            const qreal freshRoom = bottom - top - (header.present ? header.height : 0);
            for (qsizetype row = 0; row < detailCount();) {
                const qsizetype end = groupEnd(row, groupColumn);
                const qreal groupHeight = detail.height * static_cast<qreal>(end - row);
                if (placed && !fits(groupHeight) && groupHeight <= freshRoom + kEpsilon)
                    startPage();
                for (; row < end; ++row) {
                    if (placed && !fits(detail.height))
                        startPage();
                    put(BandType::Detail, row);
                    placed = true;
                }
            }
        }
        if (summary.present) {
            if (placed && !fits(summary.height))
                startPage();
            put(BandType::Summary, lastRow());
            placed = true;
        }
        if (placed)
            pages.append(page);
    }
};

Generator::Generator(const Report& report, const RowTable& master,
                     const QHash<QString, RowTable>& others)
    : plan_(std::make_unique<Plan>()) {
    plan_->setup = report.pageSetup();
    plan_->master = master;
    const QString masterName = report.masterDataSet();
    plan_->title = plan_->plan(report.band(BandType::Title), masterName, others);
    plan_->header = plan_->plan(report.band(BandType::PageHeader), masterName, others);
    plan_->detail = plan_->plan(report.band(BandType::Detail), masterName, others);
    plan_->summary = plan_->plan(report.band(BandType::Summary), masterName, others);
    plan_->footer = plan_->plan(report.band(BandType::PageFooter), masterName, others);
    plan_->paginate(report.groupField().isEmpty() ? -1 : master.column(report.groupField()));
}

Generator::~Generator() = default;

QSizeF Generator::paper() const {
    return plan_->setup.paper;
}

bool Generator::atEnd() const {
    return plan_->next >= plan_->pages.size();
}

int Generator::pageCount() const {
    return static_cast<int>(plan_->pages.size());
}

Page Generator::nextPage() {
    Plan& p = *plan_;
    Page page;
    if (atEnd())
        return page;
    const qreal left = p.setup.margins.left();
    const int number = static_cast<int>(p.next) + 1;
    for (const Placement& placed : std::as_const(p.pages[p.next]))
        p.place(page, p.bandOf(placed.type), QPointF(left, placed.y), placed.row, number);
    if (p.footer.present)
        p.place(page, p.footer,
                QPointF(left, p.setup.paper.height() - p.setup.margins.bottom() - p.footer.height),
                p.lastRow(), number);
    ++p.next;
    return page;
}

int Generator::progress() const {
    const Plan& p = *plan_;
    if (atEnd())
        return 100;
    return static_cast<int>(qMin<qsizetype>(99, p.next * 100 / p.pages.size()));
}

Document generate(const Report& report, const RowTable& master,
                  const QHash<QString, RowTable>& others, const GenerateCallbacks& callbacks) {
    Generator generator(report, master, others);
    Document document;
    document.paper = generator.paper();
    if (callbacks.progress)
        callbacks.progress(0);
    while (!generator.atEnd()) {
        document.pages.append(generator.nextPage());
        if (callbacks.pageFinished)
            callbacks.pageFinished(static_cast<int>(document.pages.size() - 1),
                                   document.pages.last());
        if (callbacks.progress)
            callbacks.progress(generator.progress());
    }
    return document;
}

} // namespace report
