#pragma once

// Picks the database before any connection exists: the server named by [database] server= or,
// when none is named, the local data.mdb; and this workstation's id, generated and stored at
// the first start.
namespace DatabaseChoice {

void apply();

} // namespace DatabaseChoice
