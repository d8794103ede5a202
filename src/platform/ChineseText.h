#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Text in the Chinese Windows encoding, GB18030 (a superset of GBK and GB2312), as spreadsheet
// programs on Chinese Windows save CSV files. Qt decodes it through ICU where it has it; on
// Windows the system's own code page 54936 does (936, GBK, where a system lacks it).
namespace ChineseText {

// The bytes read as GB18030; empty when they are not valid GB18030. Fails with AppError when
// the system has no decoder for it.
std::optional<QString> fromGb18030(const QByteArray& bytes);

} // namespace ChineseText
