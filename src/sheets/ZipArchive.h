#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>
#include <memory>

// A ZIP archive read through minizip, from a QFile so that any file name opens on every
// system. Parts unpack as they are read, each up to a limit: a part that unpacks to more (a
// "ZIP bomb") stops there instead of filling memory or running for minutes.
class ZipArchive {
public:
    // Fails with AppError when the file is not a readable archive.
    explicit ZipArchive(const QString& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // One part being unpacked. Reading stops with an error past the limit, on damaged data and
    // on a checksum that does not match at the end.
    class Part : public QIODevice {
    public:
        Part(void* zip, qint64 limit);
        ~Part() override;
        bool isSequential() const override { return true; }
        bool atEnd() const override { return ended_ && QIODevice::bytesAvailable() == 0; }
        bool tooLarge() const { return tooLarge_; }
        bool damaged() const { return damaged_; }

    protected:
        qint64 readData(char* data, qint64 maxSize) override;
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        void* zip_;
        qint64 limit_;
        qint64 read_ = 0;
        bool ended_ = false;
        bool tooLarge_ = false;
        bool damaged_ = false;
    };

    // The part of that name (letter case ignored, as the format's part names are), or null when
    // the archive holds none. One part at a time: opening another ends the one before.
    std::unique_ptr<Part> open(const QString& name, qint64 limit);

private:
    QFile file_;
    void* zip_ = nullptr;
};
