#include "export/WorkbookCheck.h"

#include "base/AppError.h"

#include <QFile>

#include <cstring>
#include <zlib.h>

namespace {

const char* const kSheetPart = "xl/worksheets/sheet1.xml";

[[noreturn]] void incomplete() {
    throw AppError(QStringLiteral("写入的文件不完整，磁盘空间可能不足"));
}

quint32 le(const QByteArray& bytes, qsizetype at, int size) {
    if (at < 0 || at + size > bytes.size())
        incomplete();
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<uchar>(bytes[at + i]);
    return value;
}

QByteArray readAt(QFile& file, qint64 offset, qint64 size) {
    if (!file.seek(offset))
        incomplete();
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        incomplete();
    return bytes;
}

// Where the sheet's compressed bytes start, how many there are and how they are stored.
struct Part {
    qint64 offset = 0;
    qint64 size = 0;
    quint32 method = 0;
};

Part findSheet(QFile& file) {
    // The end record (the library writes no archive comment) points to the central directory.
    const qint64 fileSize = file.size();
    const QByteArray end = readAt(file, fileSize - 22, 22);
    if (le(end, 0, 4) != 0x06054b50)
        incomplete();
    const QByteArray directory = readAt(file, le(end, 16, 4), le(end, 12, 4));
    for (qsizetype at = 0; at < directory.size();) {
        if (le(directory, at, 4) != 0x02014b50)
            incomplete();
        const quint32 nameSize = le(directory, at + 28, 2);
        const QByteArray name = directory.mid(at + 46, nameSize);
        if (name == kSheetPart) {
            const qint64 local = le(directory, at + 42, 4);
            const QByteArray header = readAt(file, local, 30);
            return {local + 30 + le(header, 26, 2) + le(header, 28, 2), le(directory, at + 20, 4),
                    le(directory, at + 10, 2)};
        }
        at += 46 + nameSize + le(directory, at + 30, 2) + le(directory, at + 32, 2);
    }
    incomplete();
}

// Counts the cell elements in the sheet's XML as it streams past, notes the number of the last
// row element and checks that the XML ends. Texts are escaped, so no tag is found inside one.
class CellCounter {
public:
    void feed(const char* data, qsizetype size) {
        static const QByteArray cell("<c ");
        static const QByteArray row("<row r=\"");
        const QByteArray chunk = tail_ + QByteArray::fromRawData(data, size);
        // A cell tag lying wholly in the tail was counted with the chunk before.
        for (qsizetype at = chunk.indexOf(cell, qMax<qsizetype>(0, tail_.size() - cell.size() + 1));
             at >= 0; at = chunk.indexOf(cell, at + cell.size()))
            ++cells_;
        // A row tag cut off at the end is whole at the start of the next chunk.
        for (qsizetype at = chunk.lastIndexOf(row); at >= 0;
             at = at > 0 ? chunk.lastIndexOf(row, at - 1) : -1) {
            const qsizetype number = at + row.size();
            const qsizetype close = chunk.indexOf('"', number);
            if (close >= 0) {
                lastRow_ = chunk.mid(number, close - number).toInt();
                break;
            }
        }
        tail_ = chunk.right(kTail);
    }
    void check(const WorkbookWriter::Written& written) const {
        if (!tail_.endsWith("</worksheet>") || cells_ != written.cells ||
            lastRow_ != written.lastRow + 1)
            incomplete();
    }

private:
    // Longer than a row tag with the largest row number.
    static constexpr qsizetype kTail = 32;
    QByteArray tail_;
    qint64 cells_ = 0;
    int lastRow_ = 0; // counted from 1; 0 before the first row
};

} // namespace

namespace WorkbookCheck {

void verify(const QString& path, const WorkbookWriter::Written& written) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(file.errorString());
    const Part part = findSheet(file);
    if (part.method != Z_DEFLATED || !file.seek(part.offset))
        incomplete();

    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        incomplete();
    CellCounter counter;
    QByteArray in(1 << 18, Qt::Uninitialized);
    QByteArray out(1 << 18, Qt::Uninitialized);
    qint64 left = part.size;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            const qint64 got = file.read(in.data(), qMin<qint64>(left, in.size()));
            if (got <= 0)
                break;
            left -= got;
            stream.next_in = reinterpret_cast<Bytef*>(in.data());
            stream.avail_in = static_cast<uInt>(got);
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        counter.feed(out.constData(), out.size() - static_cast<qsizetype>(stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        incomplete();
    counter.check(written);
}

} // namespace WorkbookCheck
