#pragma once

class QWidget;

// At start-up, before any connection opens: a database of an older schema version is brought
// up to the program's, after a checked automatic backup ("data-…-升级前.bak"), all steps in
// one transaction; one of a newer version is refused and never written.
namespace DatabaseUpgrade {

// False when the program must not go on; the user has been told why.
bool atStart(QWidget* owner);

} // namespace DatabaseUpgrade
