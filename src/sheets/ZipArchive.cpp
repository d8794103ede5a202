#include "sheets/ZipArchive.h"

#include "base/AppError.h"

#include <QDir>
#include <algorithm>
#include <limits>

#include <minizip/unzip.h>

namespace {

// minizip's file calls, served by the QFile handed over as the "file name".
voidpf openFile(voidpf, const void* file, int) {
    return const_cast<void*>(file);
}

uLong readFile(voidpf, voidpf stream, void* buffer, uLong size) {
    const qint64 got = static_cast<QFile*>(stream)->read(static_cast<char*>(buffer), size);
    return got < 0 ? 0 : static_cast<uLong>(got);
}

uLong writeFile(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T tellFile(voidpf, voidpf stream) {
    return static_cast<ZPOS64_T>(static_cast<QFile*>(stream)->pos());
}

long seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* file = static_cast<QFile*>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = file->pos();
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = file->size();
    if (offset > static_cast<ZPOS64_T>(std::numeric_limits<qint64>::max() - base))
        return -1;
    return file->seek(base + static_cast<qint64>(offset)) ? 0 : -1;
}

int closeFile(voidpf, voidpf) {
    return 0;
}

int fileError(voidpf, voidpf stream) {
    return static_cast<QFile*>(stream)->error() == QFileDevice::NoError ? 0 : 1;
}

} // namespace

ZipArchive::ZipArchive(const QString& path) : file_(path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!file_.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法打开文件“%1”：%2").arg(shown, file_.errorString()));
    zlib_filefunc64_def calls{};
    calls.zopen64_file = openFile;
    calls.zread_file = readFile;
    calls.zwrite_file = writeFile;
    calls.ztell64_file = tellFile;
    calls.zseek64_file = seekFile;
    calls.zclose_file = closeFile;
    calls.zerror_file = fileError;
    zip_ = unzOpen2_64(&file_, &calls);
    if (!zip_)
        throw AppError(
            QStringLiteral("文件“%1”已损坏或不完整，无法作为 Excel 表格读取。").arg(shown));
}

ZipArchive::~ZipArchive() {
    if (zip_)
        unzClose(zip_);
}

std::unique_ptr<ZipArchive::Part> ZipArchive::open(const QString& name, qint64 limit) {
    // 2: names compared without regard to letter case.
    if (unzLocateFile(zip_, name.toUtf8().constData(), 2) != UNZ_OK)
        return nullptr;
    if (unzOpenCurrentFile(zip_) != UNZ_OK)
        return nullptr;
    auto part = std::make_unique<Part>(zip_, limit);
    // Unbuffered: the XML reader takes what each read gives; through the device's own buffer
    // it stopped after the first chunk.
    part->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return part;
}

ZipArchive::Part::Part(void* zip, qint64 limit) : zip_(zip), limit_(limit) {}

ZipArchive::Part::~Part() {
    if (!ended_)
        unzCloseCurrentFile(zip_);
}

qint64 ZipArchive::Part::readData(char* data, qint64 maxSize) {
    if (ended_)
        return tooLarge_ || damaged_ ? -1 : 0;
    const qint64 room = limit_ - read_;
    const int wanted = static_cast<int>(std::min<qint64>({maxSize, room + 1, qint64(1) << 20}));
    const int got = unzReadCurrentFile(zip_, data, static_cast<unsigned>(wanted));
    if (got > 0 && got > room) {
        tooLarge_ = true;
    } else if (got > 0) {
        read_ += got;
        return got;
    } else if (got < 0) {
        damaged_ = true;
    }
    ended_ = true;
    // At the end the checksum of what was read must match the one stored.
    if (unzCloseCurrentFile(zip_) != UNZ_OK)
        damaged_ = true;
    return tooLarge_ || damaged_ ? -1 : 0;
}
