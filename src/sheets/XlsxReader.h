#pragma once

#include "sheets/WorkbookReader.h"

#include <QList>
#include <QStringList>
#include <memory>

class ZipArchive;

// An Office Open XML workbook (.xlsx, and what is saved as one under another name): the
// archive's parts read with minizip, their XML with QXmlStreamReader as it unpacks.
class XlsxReader final : public WorkbookReader {
public:
    // The most one part may unpack to; a sheet of a million rows stays well below.
    static constexpr qint64 kMaxPartBytes = qint64(256) << 20;

    explicit XlsxReader(const QString& path);
    ~XlsxReader() override;

    QStringList sheetNames() const override;
    SheetTable readSheet(int index) override;

private:
    struct Sheet {
        QString name;
        QString part;
    };
    void readSharedStrings();

    std::unique_ptr<ZipArchive> archive_;
    QString shownName_;
    QList<Sheet> sheets_;
    QString sharedStringsPart_;
    QStringList sharedStrings_;
    bool sharedStringsRead_ = false;
};
