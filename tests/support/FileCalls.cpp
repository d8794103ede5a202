#include "FileCalls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
// Windows has no C library calls to stand before: nothing is recorded, and the tests that look
// are skipped there.
namespace FileCalls {
void watch(const QString&, Watch) {}
QList<Call> calls() {
    return {};
}
void killBefore(int) {
    qFatal("FileCalls::killBefore: not on Windows");
}
} // namespace FileCalls
#else
#include <atomic>
#include <climits>
#include <csignal>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace {

std::atomic<bool> watching{false};
std::atomic<bool> writes{false};

struct State {
    std::mutex mutex;
    QString folder;
    QList<FileCalls::Call> calls;
    int killAt = 0;
    int changes = 0;
};

State& state() {
    static State s;
    return s;
}

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

QString folderOf(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() ? info.canonicalFilePath()
                        : QFileInfo(info.absolutePath()).canonicalFilePath();
}

// Records a call on a path in the watched folder; a rename or unlink may end the process here.
void record(const char* name, const QString& path) {
    State& s = state();
    const std::lock_guard lock(s.mutex);
    if (folderOf(path) != s.folder)
        return;
    const QString call = QString::fromLatin1(name);
    const bool counted =
        writes.load() || call == QLatin1String("rename") || call == QLatin1String("unlink");
    if (counted && ++s.changes == s.killAt)
        std::raise(SIGKILL);
    s.calls.append({call, QFileInfo(path).absoluteFilePath()});
}

QString pathOfHandle(int handle) {
    char target[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(handle);
    const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
    return size < 0 ? QString() : QFile::decodeName(QByteArray(target, size));
}

// A write or data sync through a handle: only a file's handle has a path to record (a pipe's
// or an event's name would count as a file of the current folder).
void recordWrite(const char* name, int handle) {
    if (!writes.load())
        return;
    const QString path = pathOfHandle(handle);
    if (path.startsWith(QLatin1Char('/')))
        record(name, path);
}

} // namespace

extern "C" {

int rename(const char* from, const char* to) {
    static const auto call = real<int (*)(const char*, const char*)>("rename");
    if (watching.load())
        record("rename", QFile::decodeName(to));
    return call(from, to);
}

int unlink(const char* path) {
    static const auto call = real<int (*)(const char*)>("unlink");
    if (watching.load())
        record("unlink", QFile::decodeName(path));
    return call(path);
}

ssize_t write(int handle, const void* data, size_t size) {
    static const auto call = real<ssize_t (*)(int, const void*, size_t)>("write");
    recordWrite("write", handle);
    return call(handle, data, size);
}

ssize_t pwrite64(int handle, const void* data, size_t size, off64_t offset) {
    static const auto call = real<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    recordWrite("write", handle);
    return call(handle, data, size, offset);
}

int fdatasync(int handle) {
    static const auto call = real<int (*)(int)>("fdatasync");
    recordWrite("fdatasync", handle);
    return call(handle);
}

int fsync(int handle) {
    static const auto call = real<int (*)(int)>("fsync");
    const int result = call(handle);
    if (watching.load())
        record("fsync", pathOfHandle(handle));
    return result;
}
}

namespace FileCalls {

void watch(const QString& folder, Watch what) {
    State& s = state();
    {
        const std::lock_guard lock(s.mutex);
        s.folder = QFileInfo(folder).canonicalFilePath();
        s.calls.clear();
        s.changes = 0;
    }
    writes = what == Watch::Writes;
    watching = true;
}

QList<Call> calls() {
    State& s = state();
    const std::lock_guard lock(s.mutex);
    return s.calls;
}

void killBefore(int n) {
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.killAt = n;
}

} // namespace FileCalls
#endif
