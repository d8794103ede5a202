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
    TextMeasure* measure = nullptr;
    FontStyle font;
    bool opaque = true;
    // Texts that do not depend on the row are laid out once, relative to the band's corner.
    std::optional<TextOp> fixedOp;
};

struct PlannedBand {
    bool present = false;
    qreal height = 0;
    QList<PlannedItem> items;
};

enum class Stage { Title, Detail, Summary, Done };

} // namespace

struct Generator::Plan {
    PageSetup setup;
    RowTable master;
    std::deque<TextMeasure> measures;
    QList<FontStyle> measureFonts;
    PlannedBand title;
    PlannedBand detail;
    PlannedBand summary;

    Stage stage = Stage::Title;
    qsizetype row = 0;

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
            if (p.kind != ItemKind::Shape) {
                p.inShape = std::any_of(shapes.begin(), shapes.end(), [&](const QRectF& shape) {
                    return shape.contains(p.rect.topLeft());
                });
                p.font = item->font();
                p.opaque = !item->isTransparent();
                p.measure = measureFor(p.font);
            }
            if (p.kind == ItemKind::Label) {
                p.fixedOp = layoutText(p, item->caption(), planned.height);
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
        const qreal reach =
            item.inShape ? 0 : qMax<qreal>(0, setup.margins.right() - kUnprintableEdge);
        const QRectF band(0, 0, setup.bandWidth() + reach, bandHeight);
        const qreal roomWidth = band.right() - item.rect.left();
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
        if (op.lines.size() > fitting)
            op.lines.resize(fitting);
        // The white box takes only the room the text takes: stretched to the band's edge it
        // would cover the rule of a cell the text does not reach.
        if (wraps) {
            width = 0;
            for (const QString& line : std::as_const(op.lines))
                width = qMax(width, item.measure->width(line));
        }
        op.box = QRectF(item.rect.left(), item.rect.top(), width, lineHeight * op.lines.size());
        // Only a character wider than all the room there is still needs cutting.
        if (!room.contains(op.box)) {
            op.clip = room;
            op.box = op.box.intersected(room);
        }
        return op;
    }

    void place(Page& page, const PlannedBand& band, QPointF origin, qsizetype row) {
        for (const PlannedItem& item : band.items) {
            std::optional<TextOp> op;
            switch (item.kind) {
            case ItemKind::Shape:
                page.ops.append(RectOp{item.name, item.rect.translated(origin)});
                continue;
            case ItemKind::Label:
                op = item.fixedOp;
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

    const PlannedBand& bandOf(Stage stage) const {
        return stage == Stage::Title ? title : stage == Stage::Detail ? detail : summary;
    }

    qsizetype rowOf(Stage stage) const {
        switch (stage) {
        case Stage::Title:
            return 0;
        case Stage::Detail:
            return row;
        default:
            return lastRow();
        }
    }

    void advance() {
        if (stage == Stage::Detail && ++row < detailCount())
            return;
        stage = static_cast<Stage>(static_cast<int>(stage) + 1);
        skipAbsentBands();
    }

    void skipAbsentBands() {
        while (stage != Stage::Done && !bandOf(stage).present)
            stage = static_cast<Stage>(static_cast<int>(stage) + 1);
    }
};

Generator::Generator(const Report& report, const RowTable& master,
                     const QHash<QString, RowTable>& others)
    : plan_(std::make_unique<Plan>()) {
    plan_->setup = report.pageSetup();
    plan_->master = master;
    const QString masterName = report.masterDataSet();
    plan_->title = plan_->plan(report.band(BandType::Title), masterName, others);
    plan_->detail = plan_->plan(report.band(BandType::Detail), masterName, others);
    plan_->summary = plan_->plan(report.band(BandType::Summary), masterName, others);
    plan_->skipAbsentBands();
}

Generator::~Generator() = default;

QSizeF Generator::paper() const {
    return plan_->setup.paper;
}

bool Generator::atEnd() const {
    return plan_->stage == Stage::Done;
}

Page Generator::nextPage() {
    Plan& p = *plan_;
    Page page;
    const qreal left = p.setup.margins.left();
    const qreal bottom = p.setup.paper.height() - p.setup.margins.bottom();
    qreal y = p.setup.margins.top();
    bool placed = false;
    while (p.stage != Stage::Done) {
        const PlannedBand& band = p.bandOf(p.stage);
        // A band taller than a whole page still goes on a page of its own.
        if (placed && y + band.height > bottom + kEpsilon)
            break;
        p.place(page, band, QPointF(left, y), p.rowOf(p.stage));
        y += band.height;
        placed = true;
        p.advance();
    }
    return page;
}

int Generator::progress() const {
    const Plan& p = *plan_;
    if (p.stage == Stage::Done)
        return 100;
    const qsizetype done = p.stage == Stage::Title    ? 0
                           : p.stage == Stage::Detail ? p.row
                                                      : p.detailCount();
    return static_cast<int>(qMin<qsizetype>(99, done * 100 / p.detailCount()));
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
