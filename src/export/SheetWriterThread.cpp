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

void SheetWriterThread::add(std::vector<SheetCell> cells) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_ || queue_.size() < kQueued; });
    if (error_)
        std::rethrow_exception(error_);
    queue_.push_back(std::move(cells));
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
        std::vector<SheetCell> cells;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || last_ || !queue_.empty(); });
            if (stop_)
                return;
            if (queue_.empty())
                break;
            cells = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        for (auto cell = cells.cbegin(); cell != cells.cend(); cell += columns_, ++row) {
            if (std::all_of(cell, cell + columns_,
                            [](const SheetCell& c) { return c.kind == SheetCell::Empty; })) {
                book_->writeEmptyRow(row);
                continue;
            }
            for (int column = 0; column < columns_; ++column) {
                const SheetCell& c = cell[column];
                switch (c.kind) {
                case SheetCell::Empty:
                    break;
                case SheetCell::Text:
                    book_->writeText(row, column, c.text);
                    break;
                case SheetCell::Number:
                    book_->writeNumber(row, column, c.number);
                    break;
                case SheetCell::Date:
                    book_->writeDate(row, column, c.date);
                    break;
                }
            }
        }
    }
    book_->close();
    WorkbookCheck::verify(path_, book_->written());
}
