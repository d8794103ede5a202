#pragma once

#include <QString>

// A column of a loaded list: its name and how its values read as text.
struct ListField {
    enum class Kind { Text, Number, Date, Integer };
    QString name;
    Kind kind = Kind::Text;

    bool operator==(const ListField&) const = default;
};
