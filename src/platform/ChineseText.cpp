#include "platform/ChineseText.h"

#include "base/AppError.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#endif

namespace ChineseText {

std::optional<QString> fromGb18030(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QString();
#ifdef Q_OS_WIN
    // GB18030 where the system has it (every Windows since Vista); else GBK, the ANSI code page
    // of Chinese Windows, which is what its spreadsheet programs write in the first place.
    const UINT page = IsValidCodePage(54936) ? 54936 : 936;
    const int size = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.constData(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.constData(),
                        static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(text.data()),
                        size);
    return text;
#else
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        throw AppError(QStringLiteral("本机的 Qt 不能解读 GB18030 编码的文字，"
                                      "请把文件另存为 UTF-8 编码后再导入。"));
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
#endif
}

} // namespace ChineseText
