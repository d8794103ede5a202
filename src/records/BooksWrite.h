#pragma once

#include <functional>

class Dataset;

// How a write changes a list: a new row (then current), or a change or the deletion of the
// current row.
enum class RowWrite { Add, Modify, Remove };

// Runs `write` on a customer or delivery list in one transaction with what the books do about
// the row (BooksFollow): the row and the settlement that follows it are stored together or not
// at all. When anything fails after the row was written, nothing of it stays, the list is read
// again so that it shows what is stored (its cursor kept where it can be), and the error
// passes on. A write to any other list runs as it is.
void writeWithBooks(Dataset& list, RowWrite kind, const std::function<void()>& write);
