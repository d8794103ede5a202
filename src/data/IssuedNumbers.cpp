#include "data/IssuedNumbers.h"

#include "data/Connection.h"
#include "data/ServerDatabase.h"

bool IssuedNumbers::kept() const {
    return !connection_->serverUri().isEmpty();
}

QList<IssuedNumbers::Issued> IssuedNumbers::startingWith(const QString& prefix) const {
    ServerDatabase& server = *connection_->server();
    // left() rather than LIKE: a prefix holding % or _ means itself.
    const ServerResult found = server.exec(
        QStringLiteral("SELECT \"number\", \"workstation\" = $2 FROM \"_issued_numbers\" "
                       "WHERE left(\"number\", length($1::text)) = $1::text"),
        {prefix.toUtf8(), server.workstation().toUtf8()});
    QList<Issued> out;
    for (int row = 0; row < found.rows(); ++row)
        out.append({QString::fromUtf8(found.value(row, 0)), found.value(row, 1)[0] == 't'});
    return out;
}

bool IssuedNumbers::take(const QString& number) const {
    ServerDatabase& server = *connection_->server();
    return server
               .exec(QStringLiteral("INSERT INTO \"_issued_numbers\" (\"number\", "
                                    "\"workstation\") VALUES ($1, $2) ON CONFLICT DO NOTHING"),
                     {number.toUtf8(), server.workstation().toUtf8()})
               .affected() == 1;
}
