#pragma once

#include <QString>

// What a data set shows: a table, all its columns or one distinct column, and at most one
// condition on a column. User text in a condition is always bound, never part of the SQL.
// Rows come in the table's natural order (rowid); distinct values sorted.
struct Query {
    enum class Match { All, Like, Equal };

    QString table;
    QString distinctColumn; // empty: every column
    Match match = Match::All;
    QString column;
    QString value;

    static Query all(const QString& table);
    static Query distinct(const QString& table, const QString& column);
    // Rows whose column contains the text anywhere; "%" and "_" in the text act as wildcards.
    static Query like(const QString& table, const QString& column, const QString& text);
    // Rows whose column equals the text, ASCII letters in either case ("ab1" takes "AB1"); an
    // empty text takes the rows where it is empty.
    static Query equal(const QString& table, const QString& column, const QString& text);

    bool isDistinct() const { return !distinctColumn.isEmpty(); }
    // Readable form for diagnostics, e.g. select * from 表1 where 商品编码 like %12%.
    QString describe() const;

    bool operator==(const Query&) const = default;
};
