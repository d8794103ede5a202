#include "platform/LastView.h"

#include "base/AppError.h"
#include "platform/windows/SystemError.h"

// The value "data" (REG_SZ) of HKEY_CURRENT_USER\Software\qorvel, as the program we replace
// kept it.
namespace {
constexpr wchar_t kKey[] = L"Software\\qorvel";
constexpr wchar_t kValue[] = L"data";
} // namespace

namespace LastView {

QString read() {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return {};
    return QString::fromWCharArray(text);
}

void write(const QString& code) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        const std::wstring text = code.toStdWString();
        status = RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        throw AppError(QStringLiteral("Failed to set data for 'data': %1")
                           .arg(SystemError::text(static_cast<DWORD>(status))));
}

} // namespace LastView
