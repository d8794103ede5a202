#pragma once

#include <QString>
#include <functional>

// A file written under a temporary name beside its final one and renamed over it only when
// complete, so a failure never leaves a half-written file under the final name. Unless
// committed, the temporary file is removed again.
class PendingFile {
public:
    enum class Readers {
        Anyone, // as the user's file mask allows
        Owner,  // a new file of the database or its backups (see PrivateFiles)
    };
    // Creates the empty temporary file in the target's folder; fails with AppError.
    explicit PendingFile(const QString& target, Readers readers = Readers::Anyone);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write.
    const QString& path() const { return path_; }

    // Puts the written file on disk, renames it over the target, which keeps the permissions
    // of a file it replaces, and puts the folder on disk. Fails with AppError; failing before
    // the rename, it leaves the target as it was.
    void commit();
    // The same for a target that this program holds open: where an open file cannot be
    // replaced (Windows), closeTarget is called once the written file is on disk, just before
    // the replacement; elsewhere it is not called, and the caller closes the target after.
    void commit(const std::function<void()>& closeTarget);

private:
    QString target_;
    QString path_;
    bool committed_ = false;
};
