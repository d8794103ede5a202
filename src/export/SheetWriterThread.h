#pragma once

#include "export/SheetCell.h"

#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WorkbookWriter;

// Writes rows of cells into a new workbook on a thread of its own, so that the cells of the
// next rows are made while the library writes the last ones and packs the file. Only values
// cross over (texts, numbers, dates), never the list; a short queue keeps memory flat.
class SheetWriterThread {
public:
    // Creates the workbook (failing with AppError) and starts the thread.
    SheetWriterThread(const QString& path, int columns);
    // Stops the thread; an unfinished workbook is discarded.
    ~SheetWriterThread();
    SheetWriterThread(const SheetWriterThread&) = delete;
    SheetWriterThread& operator=(const SheetWriterThread&) = delete;

    // Queues the cells of whole rows, row after row; waits while the queue is full. Fails with
    // the writer's error once writing has failed.
    void add(std::vector<SheetCell> cells);
    // Writes the file after the last row and reads it back (WorkbookCheck), calling `waiting`
    // every tenth of a second until done; fails with the writer's error.
    void finish(const std::function<void()>& waiting);

private:
    void run();
    void write();

    QString path_;
    std::unique_ptr<WorkbookWriter> book_;
    const int columns_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<SheetCell>> queue_;
    bool last_ = false; // every row is queued
    bool stop_ = false; // the workbook is given up
    bool done_ = false; // the thread has ended
    std::exception_ptr error_;
    std::thread thread_;
};
