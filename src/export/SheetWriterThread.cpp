#include "export/SheetWriterThread.h"

#include "export/WorkbookCheck.h"
#include "export/WorkbookWriter.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr size_t kQueued = 4;

} // namespace

SheetWriterThread::SheetWriterThread(const QString& path, int columns)
    : path_(path), book_(std::make_unique<WorkbookWriter>(path)), columns_(columns),
      thread_(&SheetWriterThread::run, this) {}

SheetWriterThread::~SheetWriterThread() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SheetWriterThread::add(std::vector<QString> texts) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_ || queue_.size() < kQueued; });
    if (error_)
        std::rethrow_exception(error_);
    queue_.push_back(std::move(texts));
    lock.unlock();
    changed_.notify_all();
}

void SheetWriterThread::finish(const std::function<void()>& waiting) {
    std::unique_lock lock(mutex_);
    last_ = true;
    changed_.notify_all();
    while (!changed_.wait_for(lock, std::chrono::milliseconds(100), [this] { return done_; })) {
        lock.unlock();
        waiting();
        lock.lock();
    }
    if (error_)
        std::rethrow_exception(error_);
}

void SheetWriterThread::run() {
    try {
        write();
    } catch (...) {
        const std::lock_guard lock(mutex_);
        error_ = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    changed_.notify_all();
}

void SheetWriterThread::write() {
    int row = 0;
    for (;;) {
        std::vector<QString> texts;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || last_ || !queue_.empty(); });
            if (stop_)
                return;
            if (queue_.empty())
                break;
            texts = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        for (auto cell = texts.cbegin(); cell != texts.cend(); cell += columns_, ++row) {
            if (std::all_of(cell, cell + columns_, [](const QString& t) { return t.isEmpty(); })) {
                book_->writeEmptyRow(row);
                continue;
            }
            for (int column = 0; column < columns_; ++column)
                book_->writeText(row, column, cell[column]);
        }
    }
    book_->close();
    WorkbookCheck::verify(path_, book_->written());
}
