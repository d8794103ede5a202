#include "data/RowStore.h"

#include <QAtomicInteger>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = std::size_t(1) << 20;

quint64 nextVersion() {
    static QAtomicInteger<quint64> counter;
    return counter.fetchAndAddRelaxed(1) + 1;
}

} // namespace

struct RowStore::Blocks {
    // Unique to these blocks: a row's bytes, once stored, keep their place while they last.
    const quint64 lineage = nextVersion();
    std::vector<std::unique_ptr<char[]>> blocks;
    char* fill = nullptr; // the block small rows go into
    std::size_t used = 0;
    // The blocks of stores whose rows were moved into this one.
    std::vector<std::shared_ptr<const Blocks>> adopted;

    char* room(std::size_t size) {
        if (size > kBlockSize / 4) {
            // A large row gets a block of its own, so that the shared block is not wasted.
            blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
            return blocks.back().get();
        }
        if (!fill || kBlockSize - used < size) {
            blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
            fill = blocks.back().get();
            used = 0;
        }
        char* at = fill + used;
        used += size;
        return at;
    }
};

RowStore::RowStore() : blocks_(std::make_shared<Blocks>()), version_(nextVersion()) {}

void RowStore::changed() {
    version_ = nextVersion();
}

const char* RowStore::store(const Packer& row) {
    char* at = blocks_->room(row.size());
    std::memcpy(at, row.data(), row.size());
    return at;
}

RowStore::Cell RowStore::cell(int row, int column) const {
    const char* p = rows_[row].cells;
    for (int c = 0;; ++c) {
        const auto tag = static_cast<unsigned char>(*p++);
        Cell cell;
        qsizetype skip = 0;
        if (tag & kShortTextTag) {
            cell.type = Cell::Text;
            cell.size = tag & 0x7f;
            cell.text = p;
            skip = cell.size;
        } else if (tag == kLongTextTag) {
            quint32 length = 0;
            std::memcpy(&length, p, sizeof length);
            cell.type = Cell::Text;
            cell.size = length;
            cell.text = p + sizeof length;
            skip = static_cast<qsizetype>(sizeof length) + cell.size;
        } else if (tag == kRealTag) {
            cell.type = Cell::Real;
            std::memcpy(&cell.real, p, sizeof cell.real);
            skip = 8;
        } else if (tag == kIntegerTag) {
            cell.type = Cell::Integer;
            std::memcpy(&cell.integer, p, sizeof cell.integer);
            skip = 8;
        }
        if (c == column)
            return cell;
        p += skip;
    }
}

void RowStore::append(qint64 rowid, const Packer& row) {
    rows_.append({rowid, store(row)});
    changed();
}

RowStore::Writer RowStore::append(qint64 rowid, qsizetype size) {
    char* at = blocks_->room(static_cast<std::size_t>(size));
    rows_.append({rowid, at});
    changed();
    return Writer(at);
}

void RowStore::append(RowStore&& other) {
    if (other.rows_.isEmpty())
        return;
    if (other.blocks_ != blocks_)
        blocks_->adopted.push_back(std::move(other.blocks_));
    rows_.append(other.rows_);
    other = RowStore();
    changed();
}

void RowStore::replace(int row, qint64 rowid, const Packer& packed) {
    rows_[row] = {rowid, store(packed)};
    changed();
}

void RowStore::remove(int row) {
    rows_.remove(row);
    changed();
}

int RowStore::indexOfRowid(qint64 rowid) const {
    const auto at = std::lower_bound(rows_.cbegin(), rows_.cend(), rowid,
                                     [](const Ref& ref, qint64 id) { return ref.rowid < id; });
    return at != rows_.cend() && at->rowid == rowid ? static_cast<int>(at - rows_.cbegin()) : -1;
}

RowStore::Mark RowStore::mark() const {
    Mark mark;
    mark.lineage_ = blocks_->lineage;
    mark.version_ = version_;
    mark.rows_ = rows_;
    return mark;
}

std::optional<QList<qint64>> RowStore::changedSince(const Mark& mark, qsizetype limit) const {
    QList<qint64> changed;
    if (mark.version_ == version_)
        return changed;
    if (mark.lineage_ != blocks_->lineage)
        return std::nullopt;
    // Both in rowid order: one merge. A row's bytes are never rewritten where they lie, so a
    // row at the same place is the same row.
    const QVector<Ref>& before = mark.rows_;
    const qsizetype oldCount = before.size();
    const qsizetype newCount = rows_.size();
    const Ref* old = before.constData();
    const Ref* now = rows_.constData();
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < oldCount || j < newCount) {
        if ((i > 0 && i < oldCount && old[i].rowid <= old[i - 1].rowid) ||
            (j > 0 && j < newCount && now[j].rowid <= now[j - 1].rowid))
            return std::nullopt;
        if (j == newCount || (i < oldCount && old[i].rowid < now[j].rowid)) {
            changed.append(old[i++].rowid);
        } else if (i == oldCount || now[j].rowid < old[i].rowid) {
            changed.append(now[j++].rowid);
        } else {
            if (old[i].cells != now[j].cells)
                changed.append(now[j].rowid);
            ++i;
            ++j;
        }
        if (changed.size() > limit)
            return std::nullopt;
    }
    return changed;
}
